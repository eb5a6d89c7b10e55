#include "EscapeHandler.h"

#include "DataFileLoader.h"
#include "Locations.h"
#include "System.h"
#include "brailletable/TableSettings.h"
#include "layout/DocSettingList.h"
#include "layout/LayoutEntity.h"
#include "layout/LayoutKeys.h"
#include "layout/LayoutParameters.h"
#include "layout/LayoutSettings.h"
#include "lcm/EnumDetail.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "ls/ESC_C.h"
#include "ls/ESC_D.h"
#include "ls/EmbosserConfiguration.h"
#include "ls/ErrorReturn.h"
#include "ls/EscapeTypes.h"
#include "ls/IntValueParamId.h"
#include "ls/Keys.h"
#include "ls/ServiceErrorId.h"
#include "ls/StateId.h"
#include "property/MemoryCatalog.h"
#include "property/NetworkProperties.h"
#include "property/PropValueList.h"
#include "property/TempProperties.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/EmbosserParameter.h"
#include "property/manager/ParametersCatalog.h"
#include "proxy/ErrorHandler.h"
#include "proxy/ErrorHandlerThread.h"
#include "proxy/NetworkManagerProxy.h"
#include "proxy/PrintManagerProxy.h"
#include "proxy/SpeechFeedback.h"
#include "proxy/StateHandler.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/HammerDelta.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/SystemSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaEnum>
#include <QProcess>
#include <QThread>

#include <cmath>

namespace {
CM_LOGGING_CATEGORY(lc, "EscapeHandler")

const QString master = QStringLiteral("masterCollectionKey");
const QString escapeFile = QStringLiteral("escapeParameters.json");
constexpr int lowestValidBatch = 1714;
constexpr int lowestBatch = 1600;
// The error handler thread makes its object right after it starts.
constexpr int handlerStartMs = 5000;

bool hasSystemInfo(const EmbosserParameter* parameter)
{
    const QString key = parameter->definition.value(QStringLiteral("systemInfoParam")).toString();
    return !key.isEmpty() && key != QLatin1String("null");
}

// The rank and the condition of an ordering rule, by their EnumDetail names.
using Rank = lcm::EnumDetail::RelativeRank;
Rank rankOf(const QVariantMap& rule)
{
    bool ok = false;
    const int rank
        = QMetaEnum::fromType<Rank>().keyToValue(rule.value(QStringLiteral("RelativeRank")).toByteArray(), &ok);
    return ok ? Rank(rank) : Rank::NotAllowed;
}

bool applies(const QVariantMap& rule, int received)
{
    using Applicable = lcm::EnumDetail::Applicable;
    bool ok = false;
    const auto condition = Applicable(
        QMetaEnum::fromType<Applicable>().keyToValue(rule.value(QStringLiteral("Applicable")).toByteArray(), &ok));
    const int value = rule.value(QStringLiteral("value")).toInt();
    return ok
        && (condition == Applicable::Always || (condition == Applicable::IfLowerThan && received < value)
            || (condition == Applicable::IfHigherThan && received > value)
            || (condition == Applicable::IfEqualTo && received == value));
}
} // namespace

EscapeHandler::EscapeHandler(const ls::IReader& reader, CatalogsManager& catalogs, SystemSettings& system,
    LayoutSettings& layouts, const PropValueList& valueLists, const DocSettingList& docSettings,
    LayoutParameters& layoutParameters, NetworkProperties& network, TempProperties& temp, QObject* parent)
    : QObject(parent)
    , m_catalogs(catalogs)
    , m_system(system)
    , m_layouts(layouts)
    , m_valueLists(valueLists)
    , m_docSettings(docSettings)
    , m_layoutParameters(layoutParameters)
    , m_network(network)
    , m_temp(temp)
{
    load(reader);
}

bool EscapeHandler::load(const ls::IReader& reader)
{
    QVariantMap file;
    const bool loaded = DataFileLoader::load(reader, escapeFile, file, Q_FUNC_INFO, lc(), DataShape::objects());
    m_escC = file.value(ls::EscapeTypes::ESC_C).toMap();
    m_escD = file.value(ls::EscapeTypes::ESC_D).toMap();
    m_catalogC = std::make_unique<EscapeParametersCatalog>(m_escC, m_catalogs, master);
    m_catalogC->createIdentifierList();
    m_catalogD = std::make_unique<EscapeParametersCatalog>(m_escD, m_catalogs, master);
    return loaded;
}

QString EscapeHandler::documentCollection() const
{
    return !m_fileName.isEmpty() && m_catalogs.hasCollection(m_fileName) ? m_fileName : master;
}

bool EscapeHandler::processSequence(const QVariantMap& received)
{
    if (!received.contains(ls::escSequenceType)) {
        LOG_ERROR(lc) << "invalid ESC sequence received, missing type!";
        return false;
    }
    QVariantMap sequence = received;
    const QString type = sequence.take(ls::escSequenceType).toString();
    m_fileName = sequence.take(ls::fileNameKey).toString();
    m_configureSlave = false;
    const bool known = type == ls::EscapeTypes::ESC_C || type == ls::EscapeTypes::ESC_D;
    if (!known || sequence.isEmpty()) {
        LOG_ERROR(lc) << "Received ESC sequence parameter map is incomplete.";
        return false;
    }
    if (sequence.size() > maxParameters) {
        LOG_ERROR(lc) << "ESC sequence with" << sequence.size() << "parameters refused";
        return false;
    }
    if (type == ls::EscapeTypes::ESC_D) {
        m_catalogD = std::make_unique<EscapeParametersCatalog>(m_escD, m_catalogs, documentCollection());
        m_catalogD->createIdentifierList();
    }
    const EscapeParametersCatalog& catalog = type == ls::EscapeTypes::ESC_C ? *m_catalogC : *m_catalogD;
    QVariantMap parameters;
    for (auto it = sequence.constBegin(); it != sequence.constEnd(); ++it) {
        const QString identifier = catalog.getIdentifierFromParameterName(it.key());
        if (identifier.isEmpty()) {
            LOG_ERROR(lc) << "invalid parameter in ESC sequence, skipping:" << it.key();
            continue;
        }
        parameters.insert(identifier, it.value());
    }
    if (parameters.isEmpty()) {
        return false;
    }
    return type == ls::EscapeTypes::ESC_C ? processESC_C(parameters) : processESC_D(parameters);
}

QVariant EscapeHandler::receivedValue(const QString& identifier, const QString& valueType, const QVariant& value) const
{
    const int type = value.userType();
    const bool number = type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong
        || type == QMetaType::ULongLong || type == QMetaType::Short || type == QMetaType::UShort
        || type == QMetaType::UChar || type == QMetaType::Double;
    if (valueType == QLatin1String("QString")) {
        if (type == QMetaType::QString) {
            return value;
        }
    } else if (number) {
        bool ok = false;
        const double received = value.toDouble(&ok);
        if (ok && std::isfinite(received) && received == std::trunc(received) && std::abs(received) <= 2147483647.0) {
            return int(received);
        }
    }
    LOG_ERROR(lc) << "value of" << identifier << "is not of type" << valueType + QStringLiteral(", skipping");
    return {};
}

QVariant EscapeHandler::scaled(const EscapeParametersCatalog& catalog, const QString& name, const QVariant& value) const
{
    const int precision = std::max(0, catalog.getPrecision(name));
    const double number = value.toInt() / std::pow(10.0, precision);
    return QString::number(number, 'g', 6).toDouble();
}

QVariant EscapeHandler::convert(
    const QString& function, const QString& catalog, const QString& name, int code, const QString& collection)
{
    ParametersCatalog* topic = m_catalogs.getCatalog(catalog, collection);
    const EmbosserParameter* parameter = topic ? topic->parameter(name) : nullptr;
    if (!parameter) {
        return {};
    }
    if (function == QLatin1String("convertDocSettingsList")) {
        const QString table = m_docSettings.returnDocSettingKey(name, code);
        if (table.isEmpty()) {
            return {};
        }
        return table;
    }
    const QString list = parameter->definition.value(QStringLiteral("eValueList")).toString();
    for (const QVariant& entry : m_valueLists.values(list)) {
        const QVariantMap row = entry.toMap();
        if (row.value(QStringLiteral("intValue")).toInt() == code && row.contains(QStringLiteral("intValue"))) {
            return row.value(QStringLiteral("description"));
        }
    }
    return {};
}

bool EscapeHandler::fits(
    const QString& catalog, const QString& name, const QVariant& value, const QString& collection) const
{
    ParametersCatalog* topic = m_catalogs.getCatalog(catalog, collection);
    const EmbosserParameter* parameter = topic ? topic->parameter(name) : nullptr;
    const QString problem
        = parameter ? m_catalogs.checker().problem(parameter->definition, value) : QStringLiteral("no such parameter");
    if (!problem.isEmpty()) {
        LOG_ERROR(lc) << "refused value for" << name << ":" << problem;
    }
    return problem.isEmpty();
}

const CatalogAccessor* EscapeHandler::accessorOf(const QString& catalog) const
{
    const QList<TopicSettings*> topics { m_system.embosserConf(), m_system.embosserhead(), m_system.parameters() };
    for (TopicSettings* topic : topics) {
        if (topic && topic->accessor().catalogName() == catalog) {
            return &topic->accessor();
        }
    }
    const QList<const CatalogAccessor*> memory { &m_layoutParameters.layoutCatalog()->accessor(),
        &m_layoutParameters.paperCatalog()->accessor(), &m_network.accessor(), &m_temp.accessor() };
    for (const CatalogAccessor* accessor : memory) {
        if (accessor->catalogName() == catalog) {
            return accessor;
        }
    }
    return nullptr;
}

void EscapeHandler::write(const Change& change, const QString& collection, bool save)
{
    if (change.action == QLatin1String("setSerialNo")) {
        m_system.embosserConf()->setSerialNo(change.value.toString(), collection, save);
    }
    // The model and the configuration carry rules of their own (known models, transport mode).
    if (change.identifier == ls::ESC_C::MO && change.catalog == QLatin1String("embosserConf")) {
        m_system.embosserConf()->setModel(change.value.toString(), collection, save);
        return;
    }
    if (change.identifier == ls::ESC_C::CO && change.catalog == QLatin1String("embosserConf")) {
        m_system.embosserConf()->setConfiguration(change.value.toInt(), collection, save);
        return;
    }
    const CatalogAccessor* accessor = accessorOf(change.catalog);
    if (!accessor) {
        LOG_ERROR(lc) << "no settings for catalog" << change.catalog << "skipping" << change.identifier;
        return;
    }
    accessor->setValue(change.name, change.value, collection, save, Q_FUNC_INFO);
    // A document's paper brings its dimensions along.
    if (change.identifier == ls::ESC_D::PA && change.catalog == QLatin1String("layout")) {
        m_layoutParameters.setCurrentPaperParameters(collection);
    }
}

QVariant EscapeHandler::currentValue(const QString& catalog, const QString& name, const QString& collection) const
{
    ParametersCatalog* topic = m_catalogs.getCatalog(catalog, collection);
    const EmbosserParameter* parameter = topic ? topic->parameter(name) : nullptr;
    return parameter ? parameter->value : QVariant();
}

QVariant EscapeHandler::validateHammerBatch(const QVariant& value)
{
    if (value.toInt() >= lowestValidBatch) {
        return value.toInt();
    }
    LOG_ERROR(lc) << "Hammer batch number is incorrect, using current value.";
    const int current = currentValue(QStringLiteral("embosserhead"), ls::IntValueParamId::HammerBatch, master).toInt();
    return std::max(current, lowestBatch);
}

bool EscapeHandler::processESC_C(const QVariantMap& parameters)
{
    QStringList order = parameters.keys();
    if (order.removeOne(ls::ESC_C::MO)) {
        order.prepend(ls::ESC_C::MO);
    }
    QList<Change> changes;
    bool saveFlash = false;
    for (const QString& identifier : order) {
        const EmbosserParameter* parameter = m_catalogC->getParameterFromIdentifier(identifier);
        if (!parameter) {
            LOG_ERROR(lc) << "Invalid ESC parameter" << identifier;
            raiseError(ls::ServiceErrorId::EscMissingParameter);
            return false;
        }
        const QString name = m_catalogC->getParameterNameFromIdentifier(identifier);
        const QString catalog = m_catalogC->getCatalogFromIdentifier(identifier);
        const QString valueType = m_catalogC->getESCValueType(name);
        const QString function = m_catalogC->getESCFunction(name);
        QVariant value = receivedValue(identifier, valueType, parameters.value(identifier));
        if (!value.isValid()) {
            continue;
        }
        Change change { identifier, catalog, name, value, {} };
        bool converted = false;
        if (function == QLatin1String("configureSlave")) {
            m_configureSlave = true;
        } else if (function == QLatin1String("validateHammerBatch")) {
            change.value = validateHammerBatch(value);
            converted = true;
        } else if (function == QLatin1String("setSerialNo") && valueType == QLatin1String("QString")) {
            change.action = function;
            converted = true;
        } else if (function.startsWith(QLatin1String("convert")) && valueType == QLatin1String("int")) {
            change.value = convert(function, catalog, name, value.toInt(), master);
            converted = true;
            if (!change.value.isValid()) {
                LOG_ERROR(lc) << "Invalid value for conversion, skipping" << identifier;
                continue;
            }
        } else if (function != QLatin1String("null") && !function.isEmpty()) {
            LOG_ERROR(lc) << "Handler for detetected ESC function not found, skipping" << function;
            continue;
        }
        if (!converted && valueType == QLatin1String("double")) {
            change.value = scaled(*m_catalogC, name, value);
        }
        if (!fits(catalog, name, change.value, master)) {
            continue;
        }
        saveFlash = saveFlash || hasSystemInfo(parameter);
        changes << change;
    }
    QStringList processed;
    for (const Change& change : changes) {
        write(change, master, true);
        processed << change.identifier;
    }
    return !processed.isEmpty() && endOfParameters(processed, saveFlash, false);
}

QStringList EscapeHandler::sortParameters(const QVariantMap& parameters)
{
    QStringList pending;
    for (const QString& identifier : parameters.keys()) {
        if (ls::ESC_D::rules.contains(identifier)) {
            pending << identifier;
        }
    }
    QStringList sorted;
    QStringList missing;
    bool forbidden = false;
    while (!pending.isEmpty()) {
        const QString identifier = pending.takeFirst();
        int earliest = 0; // after every identifier it must follow
        int latest = sorted.size(); // before every identifier it must precede
        const int received = parameters.value(identifier).toInt();
        const auto place = [&](const QString& other, Rank rank) {
            const int at = sorted.indexOf(other);
            if (at < 0) {
                return;
            }
            if (rank == Rank::Lower || rank == Rank::LowerMustExist) {
                latest = std::min(latest, at);
            } else {
                earliest = std::max(earliest, at + 1);
            }
        };
        for (const QVariant& entry : ls::ESC_D::rules.value(identifier).toList()) {
            const QVariantMap rule = entry.toMap();
            const QString other = rule.value(QStringLiteral("identifier")).toString();
            const Rank rank = rankOf(rule);
            if (!applies(rule, received)) {
                continue;
            }
            const bool present = parameters.contains(other);
            if ((rank == Rank::LowerMustExist || rank == Rank::HigherMustExist) && !present) {
                missing << identifier;
            }
            if (rank == Rank::NotAllowed && present) {
                forbidden = true;
            }
            place(other, rank);
        }
        // The rules of the identifiers already placed that name this one.
        for (const QString& other : sorted) {
            for (const QVariant& entry : ls::ESC_D::rules.value(other).toList()) {
                const QVariantMap rule = entry.toMap();
                if (rule.value(QStringLiteral("identifier")).toString() != identifier
                    || !applies(rule, parameters.value(other).toInt())) {
                    continue;
                }
                const Rank rank = rankOf(rule);
                const int at = sorted.indexOf(other);
                if (rank == Rank::Lower || rank == Rank::LowerMustExist) {
                    earliest = std::max(earliest, at + 1);
                } else if (rank == Rank::Higher || rank == Rank::HigherMustExist) {
                    latest = std::min(latest, at);
                }
            }
        }
        // As late as its rules allow, so identifiers without rules keep their order.
        sorted.insert(std::min(int(sorted.size()), std::max(earliest, latest)), identifier);
    }
    if (!missing.isEmpty() || forbidden) {
        LOG_ERROR(lc) << "Missing ESC parameter dependencies!" << missing.join(' ');
        raiseError(ls::ServiceErrorId::EscMissingParameter);
        return {};
    }
    return sorted;
}

bool EscapeHandler::processESC_D(const QVariantMap& parameters)
{
    const QStringList order = sortParameters(parameters);
    if (order.isEmpty()) {
        return false;
    }
    const QString collection = documentCollection();
    QList<Change> changes;
    for (const QString& identifier : order) {
        if (!m_catalogD->getParameterFromIdentifier(identifier)) {
            LOG_ERROR(lc) << "Invalid ESC parameter" << identifier;
            raiseError(ls::ServiceErrorId::EscMissingParameter);
            return false;
        }
        const QString name = m_catalogD->getParameterNameFromIdentifier(identifier);
        const QString catalog = m_catalogD->getCatalogFromIdentifier(identifier);
        const QString valueType = m_catalogD->getESCValueType(name);
        const QString function = m_catalogD->getESCFunction(name);
        QVariant value = receivedValue(identifier, valueType, parameters.value(identifier));
        if (!value.isValid()) {
            continue;
        }
        if (function == QLatin1String("configureSlave")) {
            m_configureSlave = true;
        }
        if (valueType == QLatin1String("double")) {
            value = scaled(*m_catalogD, name, value);
        }
        if (function.startsWith(QLatin1String("convert"))) {
            value = convert(function, catalog, name, value.toInt(), collection);
            if (!value.isValid()) {
                LOG_ERROR(lc) << "Invalid value for conversion, skipping" << identifier;
                continue;
            }
        } else if (function != QLatin1String("null") && function != QLatin1String("configureSlave")
            && !function.isEmpty()) {
            LOG_ERROR(lc) << "Handler for detected ESC function not found, skipping" << function;
            continue;
        }
        if (fits(catalog, name, value, collection)) {
            changes << Change { identifier, catalog, name, value, {} };
            if (function == QLatin1String("convertDocSettingsList") && name == LayoutKeys::brailleLanguage) {
                changes << tableDots(value.toString());
            }
        }
    }
    QStringList processed;
    for (const Change& change : changes) {
        write(change, collection, false);
        processed << change.identifier;
    }
    return !processed.isEmpty() && endOfParameters(processed, false, true);
}

QList<EscapeHandler::Change> EscapeHandler::tableDots(const QString& table) const
{
    const int dots = m_layouts.context().tableSettings->legacyTableDots(table);
    if (dots <= 0) {
        return {};
    }
    return { Change { ls::ESC_D::LA, QStringLiteral("layout"), LayoutKeys::brailleCellDots,
        dots == 8 ? ls::eightDotKey : ls::sixDotKey, {} } };
}

bool EscapeHandler::geometryFits(const QString& collection, bool characters)
{
    ParametersCatalog* layout = m_catalogs.getCatalog(QStringLiteral("layout"), collection);
    if (!layout) {
        return false;
    }
    QVariantMap data;
    for (const QString& name : layout->parameterNames()) {
        data.insert(name, layout->parameter(name)->value);
    }
    const LayoutEntity entity(m_layouts.context(), data);
    const QVariantMap extra = entity.supplyExtraProperties();
    const QString& parameter = characters ? LayoutKeys::charactersPerLine : LayoutKeys::linePerPage;
    const QString& limit = characters ? LayoutKeys::maxCharacters : LayoutKeys::maxLines;
    const QVariantMap definition
        = layout->parameter(parameter) ? layout->parameter(parameter)->definition : QVariantMap();
    const int count = entity.getInt(parameter);
    return extra.contains(limit) && count <= extra.value(limit).toInt()
        && count >= definition.value(QStringLiteral("minValue"), 1).toInt()
        && count <= definition.value(QStringLiteral("maxValue"), count).toInt();
}

void EscapeHandler::recalculateLayout(const QString& collection)
{
    const QVariantMap layout = m_layoutParameters.layoutCatalog()->accessor().values(collection, Q_FUNC_INFO);
    const QVariantMap extra = LayoutEntity(m_layouts.context(), layout).supplyExtraProperties();
    for (const QString& key :
        { LayoutKeys::bottomMargin, LayoutKeys::totalLinesPerPage, LayoutKeys::totalCharactersPerLine }) {
        if (extra.contains(key)) {
            m_temp.accessor().setValue(key, extra.value(key), collection, false, Q_FUNC_INFO);
        }
    }
}

bool EscapeHandler::endOfParameters(const QStringList& identifiers, bool saveFlash, bool document)
{
    const auto has = [&](const QString& identifier) { return identifiers.contains(identifier); };
    const QString collection = document ? documentCollection() : master;
    auto& speech = libcorvane::Singleton<detail::SpeechFeedback>::instance();
    auto& network = libcorvane::Singleton<detail::NetworkManagerProxy>::instance();
    if (document && (has(ls::ESC_D::CH) || has(ls::ESC_D::BI) || has(ls::ESC_D::RW))
        && !geometryFits(collection, true)) {
        LOG_ERROR(lc) << "Invalid characters per line value, canceling document.";
        raiseError(ls::ServiceErrorId::EscMaxCharacterLine);
        return false;
    }
    if (((document && (has(ls::ESC_D::LP) || has(ls::ESC_D::TM))) || (!document && has(ls::ESC_C::BI)))
        && !geometryFits(collection, false)) {
        LOG_ERROR(lc) << "Invalid lines per page value, canceling document.";
        raiseError(ls::ServiceErrorId::EscMaxLinePerPage);
        return false;
    }
    if (document && (has(ls::ESC_D::BI) || has(ls::ESC_D::LS) || has(ls::ESC_D::GS) || has(ls::ESC_D::PV))) {
        recalculateLayout(collection);
    }
    if (!document && has(ls::ESC_C::ET)
        && m_system.embosserConf()->getConfiguration(master) != ls::EmbosserConfiguration::EMCTest.value()) {
        speech.tone(detail::SpeechFeedback::Tone800);
        speech.waitUntilDone();
    }
    const QString networkCatalog = QStringLiteral("network");
    if (!document
        && (has(ls::ESC_C::WI) || has(ls::ESC_C::IP) || has(ls::ESC_C::SM) || has(ls::ESC_C::GW)
            || has(ls::ESC_C::NS))) {
        const auto text = [&](const QString& name) { return currentValue(networkCatalog, name, master).toString(); };
        network.configureActiveNetwork(
            text(QStringLiteral("Wired network")) == ls::inetStaticKey ? ls::manualKey : ls::dhcpKey,
            text(QStringLiteral("IP Address")), text(QStringLiteral("Netmask")), text(QStringLiteral("Gateway")),
            text(QStringLiteral("Nameserver")));
    }
    if (!document && has(ls::ESC_C::SS)) {
        network.registerWifiBySsid(currentValue(networkCatalog, QStringLiteral("SSID"), master).toString(),
            has(ls::ESC_C::PP) ? currentValue(networkCatalog, QStringLiteral("Passphrase"), master).toString()
                               : QString());
    }
    if (!document && has(ls::ESC_C::WR) && has(ls::ESC_C::LR)) {
        const QString lock = currentValue(networkCatalog, QStringLiteral("Lock region"), master).toString();
        network.setLockRegion(lock.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || lock == "1");
    }
    if (!document && (has(ls::ESC_C::RH) || has(ls::ESC_C::HB))) {
        m_system.hammerDelta()->load();
        m_system.embosserhead()->readHammerBatch(master);
    }
    if (!document && has(ls::ESC_C::UL)) {
        m_system.parameters()->setUseAdjustableLinespacing(
            m_system.parameters()->getUseAdjustableLinespacing(master), master, false);
    }
    if (!document && has(ls::ESC_C::MT)) {
        System::setFlashParameter(QStringLiteral("Max current for tray"),
            currentValue(QStringLiteral("parameters"), QStringLiteral("Max current for tray"), master));
    }
    if (!document && m_configureSlave) {
        libcorvane::Singleton<detail::PrintManagerProxy>::instance().configureSlave();
        m_configureSlave = false;
    }
    if (saveFlash) {
        System::saveFlashInfo(has(ls::ESC_C::MO) || has(ls::ESC_C::SN) || has(ls::ESC_C::CO));
    } else if (!document && has(ls::ESC_C::RE)) {
        speech.tone(detail::SpeechFeedback::Tone800);
        speech.waitUntilDone();
        QCoreApplication::exit(0);
    }
    if (!document && has(ls::ESC_C::RB)) {
        QProcess reboot;
        reboot.start(QStringLiteral("reboot"), { QStringLiteral("-f") });
        System::waitForProcess(reboot, 30000);
    }
    return true;
}

void EscapeHandler::raiseError(const QString& serviceErrorId)
{
    auto& state = libcorvane::Singleton<detail::StateHandler>::instance();
    if (state.getState() != ls::StateId::Error) {
        state.setState(ls::StateId::Error);
    }
    // The answer arrives in the error handler's own thread; without it the wait below would
    // block the thread that has to deliver the answer.
    if (!ErrorHandlerThread::isHandlerCreated()) {
        ErrorHandlerThread::launch();
        const QDeadlineTimer deadline(handlerStartMs);
        while (!ErrorHandlerThread::isHandlerCreated() && !deadline.hasExpired()) {
            QThread::msleep(5);
        }
        if (!ErrorHandlerThread::isHandlerCreated()) {
            LOG_FAILED(lc) << "no error handler thread for" << serviceErrorId;
            return;
        }
    }
    auto& handler = libcorvane::Singleton<detail::ErrorHandler>::instance();
    {
        QMutexLocker lock(&detail::errorMutex);
        detail::errorPending = true;
    }
    if (handler.handleError(serviceErrorId)) {
        QMutexLocker lock(&detail::errorMutex);
        while (detail::errorPending) {
            detail::errorWaitCondition.wait(&detail::errorMutex);
        }
    }
    // Without the error handler no answer can come, and the wait ends at once.
    if (handler.getErrorReturn(serviceErrorId) == ls::ErrorReturn::Cancel && state.getState() == ls::StateId::Error) {
        state.goToPrevious();
    }
    QMutexLocker lock(&detail::errorMutex);
    detail::errorPending = false;
}
