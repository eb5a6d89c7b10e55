#include "LayoutSettings.h"

#include "BrlDimension.h"
#include "LayoutFile.h"
#include "LayoutKeys.h"
#include "Locations.h"
#include "NumberedFiles.h"
#include "ParameterList.h"
#include "brailletable/TableNames.h"
#include "brailletable/TableSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/JFile.h"
#include "property/PropValueList.h"
#include "property/manager/CatalogsManager.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/SystemSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

CM_LOGGING_CATEGORY(lcLayoutSettings, "LayoutSettings")

namespace {
const QString editableField = QStringLiteral("editable");
const QString displayNameField = QStringLiteral("display-name:");
// Paths from clients can be long; a log line shows their start.
constexpr int shownPathLength = 256;
} // namespace

LayoutSettings::LayoutSettings(const BrlDimension& brlDimension, const DocSettingList& docSettingList,
    const LayoutCommand& layoutCommand, const LayoutRestore& layoutRestore, ParameterList& parameterList,
    const PropValueList& valueList, const PaperSettings& paperSettings, TableSettings& tableSettings,
    SystemSettings& systemSettings, QObject* parent)
    : QObject(parent)
    , m_brlDimension(brlDimension)
    , m_docSettingList(docSettingList)
    , m_layoutCommand(layoutCommand)
    , m_layoutRestore(layoutRestore)
    , m_parameterList(parameterList)
    , m_valueList(valueList)
    , m_paperSettings(paperSettings)
    , m_tableSettings(tableSettings)
    , m_systemSettings(systemSettings)
{
}

LayoutEntity::Context LayoutSettings::context() const
{
    LayoutEntity::Context withCreator = baseContext();
    withCreator.creator = creator();
    return withCreator;
}

LayoutEntity::Context LayoutSettings::baseContext() const
{
    LayoutEntity::Context context;
    context.parameterList = &m_parameterList;
    context.valueList = &m_valueList;
    context.paperSettings = &m_paperSettings;
    context.tableSettings = &m_tableSettings;
    context.brlDimension = &m_brlDimension;
    context.commands = &m_layoutCommand;
    return context;
}

QString LayoutSettings::model() const
{
    return m_systemSettings.embosserConf()->getModel(masterCollectionKey);
}

QString LayoutSettings::creator() const
{
    QString rest = model().replace(QLatin1Char(' '), QLatin1Char('-'));
    rest = rest.mid(rest.indexOf(QLatin1Char('-')) + 1);
    return QStringLiteral("%1-%2").arg(rest, m_systemSettings.embosserConf()->getSerialNo(masterCollectionKey));
}

// -- Numbers and the active layout ---------------------------------------------------------------

QList<int> LayoutSettings::getLayoutNumbers() const
{
    return NumberedFiles(Locations::stateDir(), LayoutFile::fileStem()).numbers();
}

int LayoutSettings::getNumberOfLayouts() const
{
    return getLayoutNumbers().size();
}

int LayoutSettings::findLayoutWith(const QString& parameter, const QString& value) const
{
    QSet<int> seen;
    const QList<int> numbers = getLayoutNumbers();
    for (const int n : numbers) {
        if (!LayoutFile::isValidNumber(n) || seen.contains(n)) {
            continue;
        }
        seen.insert(n);
        QString stored;
        if (LayoutFile(n).read(parameter, stored) && stored == value) {
            return n;
        }
    }
    return 0;
}

int LayoutSettings::getActiveLayout() const
{
    LOG_DEBUG(lcLayoutSettings) << "Get active layout";
    return m_systemSettings.parameters()->getLayoutNr(masterCollectionKey);
}

bool LayoutSettings::setActiveLayout(int n)
{
    LOG_DEBUG(lcLayoutSettings) << "Set active layout to nr." << n;
    if (!LayoutFile::isValidNumber(n)) {
        LOG_ERROR(lcLayoutSettings) << "invalid layout number received!";
        return false;
    }
    // The file itself: a stray "layout.<n>.bak" is listed as n but is no layout to emboss with.
    if (!QFileInfo(LayoutFile::path(n)).isFile()) {
        LOG_ERROR(lcLayoutSettings) << "layout number does not exist!";
        return false;
    }
    if (n == getActiveLayout()) {
        LOG_INFO(lcLayoutSettings) << "Setting active layout to the same";
        return true;
    }
    m_systemSettings.parameters()->setLayoutNr(n, masterCollectionKey, true);
    emit layoutChange();
    return true;
}

bool LayoutSettings::getUseAdjustableLS() const
{
    const bool use = m_parameterList.getEditable(LayoutKeys::adjustmentToLinespacing);
    LOG_DEBUG(lcLayoutSettings) << "Use adjustable LS" << (use ? "true" : "false");
    return use;
}

bool LayoutSettings::setUseAdjustableLS(bool use)
{
    if (getUseAdjustableLS() == use) {
        return false;
    }
    return m_parameterList.setValue(LayoutKeys::adjustmentToLinespacing, editableField, use);
}

// -- Creating, deleting and writing ----------------------------------------------------------------

bool LayoutSettings::addLayout(int& n) const
{
    const int k = NumberedFiles(Locations::stateDir(), LayoutFile::fileStem())
                      .firstFree(LayoutFile::firstNumber, LayoutFile::lastNumber);
    if (k < 0) {
        LOG_ERROR(lcLayoutSettings) << "No free layout number found!";
        return false;
    }
    LOG_DEBUG(lcLayoutSettings) << "Add new layout nr." << k;
    n = k;
    return LayoutFile(k).copy(getActiveLayout(), creator());
}

bool LayoutSettings::deleteLayout(int n) const
{
    LOG_DEBUG(lcLayoutSettings) << "Delete layout nr." << n;
    if (!LayoutFile::isValidNumber(n)) {
        LOG_ERROR(lcLayoutSettings) << "invalid layout number received!";
        return false;
    }
    if (n == LayoutFile::firstNumber) {
        LOG_ERROR(lcLayoutSettings) << "layout nr 1 cannot be deleted!";
        return false;
    }
    if (n == getActiveLayout()) {
        LOG_ERROR(lcLayoutSettings) << "Active layout cannot be deleted!";
        return false;
    }
    return LayoutFile(n).remove();
}

bool LayoutSettings::writeLayout(const QVariantMap& data, int n)
{
    LOG_DEBUG(lcLayoutSettings) << "Write layout nr." << n;
    if (!LayoutFile::isValidNumber(n)) {
        LOG_ERROR(lcLayoutSettings) << "invalid layout number received!";
        return false;
    }
    LayoutEntity entity(context(), knownParameters(data));
    // The offset is the binding margin in millimetres: its characters times the cell pitch.
    const int margin = entity.positionOf(lcm::RowValueList::BindingMargin, LayoutKeys::bindingMargin);
    const int cellType
        = entity.enumeratorOf(lcm::RowValueList::BrailleCellSize, LayoutKeys::brailleCellSize, "BrailleDimension");
    const double pitch = m_brlDimension.getCellToCell(cellType);
    if (margin >= 0 && pitch >= 0.0) {
        entity.setValue(LayoutKeys::bindingOffset, QString::number(margin * pitch, 'g', 6));
    }
    // Nothing half-valid reaches a file: the stored parameters, all present and all valid.
    entity = LayoutEntity(entity.context(), entity.getData(true));
    if (!entity.validate()) {
        LOG_ERROR(lcLayoutSettings) << "layout" << n << "is invalid; nothing written.";
        return false;
    }
    const bool written = LayoutFile(n).write(entity.getData(true));
    if (written && n == getActiveLayout()) {
        emit layoutChange();
    }
    return written;
}

// -- Reading ---------------------------------------------------------------------------------------

QVariantMap LayoutSettings::readLayout(int n, bool withExtraData) const
{
    DisplayNames names;
    return readLayout(n, withExtraData, names);
}

QVariantMap LayoutSettings::readLayout(int n, bool withExtraData, DisplayNames& names) const
{
    LOG_DEBUG(lcLayoutSettings) << "Read layout nr." << n;
    if (!LayoutFile::isValidNumber(n)) {
        LOG_ERROR(lcLayoutSettings) << "invalid layout number received!";
        return {};
    }
    QVariantMap data;
    LayoutFile(n).read(data);
    const LayoutEntity entity(baseContext(), data);
    if (!entity.isValid()) {
        LOG_ERROR(lcLayoutSettings) << "entity is invalid!";
        return {};
    }
    QVariantMap out = entity.getData(false);
    if (withExtraData) {
        readLayoutExtraData(entity, out, names);
    }
    return out;
}

QVariantMap LayoutSettings::readAllLayouts(bool withExtraData) const
{
    LOG_INFO(lcLayoutSettings) << "Reading all layouts";
    DisplayNames names;
    QVariantMap layouts;
    const QList<int> numbers = getLayoutNumbers();
    for (const int n : numbers) {
        const QString key = QStringLiteral("%1%2").arg(ls::layoutDashKey).arg(n);
        if (layouts.contains(key)) {
            continue;
        }
        const QVariantMap layout = readLayout(n, withExtraData, names);
        if (!layout.isEmpty()) {
            layouts.insert(key, layout);
        }
    }
    return layouts;
}

void LayoutSettings::readLayoutExtraData(const LayoutEntity& entity, QVariantMap& out) const
{
    DisplayNames names;
    readLayoutExtraData(entity, out, names);
}

void LayoutSettings::readLayoutExtraData(const LayoutEntity& entity, QVariantMap& out, DisplayNames& names) const
{
    const QVariantMap extra = entity.supplyExtraProperties();

    struct Table {
        const QString& parameter;
        const QString& displayName;
        bool legacy;
        const char* malformed;
    };
    const Table tables[] = {
        { LayoutKeys::brailleLanguage, LayoutKeys::legacyTableDisplayName, true,
            "Invalid legacy braille table file name format received." },
        { LayoutKeys::liblouisTable, LayoutKeys::liblouisTableDisplayName, false,
            "Invalid liblouis braille table file name format received." },
    };
    for (const Table& table : tables) {
        const QString name = entity.getText(table.parameter);
        const QString cacheKey = (table.legacy ? QStringLiteral("legacy:") : QStringLiteral("liblouis:")) + name;
        auto cached = names.constFind(cacheKey);
        if (cached == names.constEnd()) {
            // Both parts must be plain names: the metadata lookup never leaves its directory.
            QString language;
            QString file;
            if (!TableNames::split(name, language, file)) {
                LOG_ERROR(lcLayoutSettings) << table.malformed;
                continue;
            }
            const QVariantMap metadata = table.legacy ? m_tableSettings.getLegacyTableMetadata(language, file)
                                                      : m_tableSettings.getTableMetadata(language, file);
            cached = names.insert(cacheKey, metadata.value(displayNameField).toString());
        }
        out.insert(table.displayName, cached.value());
    }
    for (const QString& key :
        { LayoutKeys::maximumPossibleLines, LayoutKeys::totalLinesPerPage, LayoutKeys::totalCharactersPerLine }) {
        if (extra.contains(key)) {
            out.insert(key, extra.value(key));
        }
    }
}

QString LayoutSettings::getPaperSize() const
{
    const QVariantMap layout = readLayout(getActiveLayout(), false);
    return layout.value(LayoutKeys::paperSize).toString();
}

QVariantMap LayoutSettings::getPropertyValues(const QVariantMap& data, const QString& parameter,
    const QString& changedParameter, const QString& previousValue) const
{
    LOG_DEBUG(lcLayoutSettings) << "Fetching property valid values...";
    LayoutEntity entity(baseContext(), knownParameters(data));
    return entity.getValues(parameter, changedParameter, previousValue);
}

QVariantMap LayoutSettings::storedLayout(const QVariantMap& data) const
{
    LayoutEntity entity(context(), knownParameters(data));
    entity.update();
    const LayoutEntity stored(entity.context(), entity.getData(true));
    return stored.validate() ? stored.getData(true) : QVariantMap();
}

void LayoutSettings::setLayoutFromPath(const QString& path)
{
    // The path comes from a client: a plain absolute path to a regular file of layout size.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || QDir::cleanPath(path) != path || path.contains(QChar(0))
        || !info.isFile() || info.size() > maxLayoutFileSize) {
        LOG_ERROR(lcLayoutSettings) << "no layout file at" << path.left(shownPathLength);
        return;
    }
    QVariantMap data;
    if (!ls::JFile().readToMap(path, data)) {
        return;
    }
    LayoutEntity entity(context(), knownParameters(data));
    entity.update();
    if (!entity.validate()) {
        LOG_ERROR(lcLayoutSettings) << "entity is invalid!" << path;
        return;
    }
    const LayoutEntity stored(entity.context(), entity.getData(true));
    QVariantMap layout = stored.getData(false);
    readLayoutExtraData(stored, layout);
    emit setLayoutFromMap(layout);
}

QVariantMap LayoutSettings::knownParameters(const QVariantMap& data) const
{
    const QVariantMap parameters = m_parameterList.getParameterList();
    QVariantMap known;
    for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
        if (it.key() != LayoutKeys::metadata && parameters.contains(it.key())) {
            known.insert(it.key(), it.value());
        }
    }
    return known;
}

// -- Start-up --------------------------------------------------------------------------------------

void LayoutSettings::initialize()
{
    setUseAdjustableLS(m_systemSettings.parameters()->getUseAdjustableLinespacing(masterCollectionKey));

    // The layouts of one pass name few tables: each is looked up once.
    QHash<QString, QString> tableLookups;
    LayoutEntity::Context layoutContext = context();
    layoutContext.tableLookups = &tableLookups;
    const QString installed = model();
    QSet<int> checked;
    QList<int> numbers = getLayoutNumbers();
    // Layout 1 always exists: a restore or an upload without it gets the factory copy.
    if (!numbers.contains(LayoutFile::firstNumber)) {
        numbers.prepend(LayoutFile::firstNumber);
    }
    for (const int n : numbers) {
        if (!LayoutFile::isValidNumber(n) || checked.contains(n)) {
            continue;
        }
        checked.insert(n);
        if (checkLayout(n, layoutContext)) {
            continue;
        }
        // The factory copy is checked like any file, once: an invalid one is reported, never
        // restored again.
        if (LayoutFile(n).restore(installed) && !checkLayout(n, layoutContext)) {
            LOG_CRITICAL(lcLayoutSettings) << "the factory copy of layout" << n << "is not valid either!";
        }
    }
}

bool LayoutSettings::checkLayout(int n, const LayoutEntity::Context& layoutContext)
{
    QVariantMap data;
    if (!LayoutFile(n).read(data)) {
        LOG_CRITICAL(lcLayoutSettings) << LayoutFile::fileName(n) << "to entity failed for layout" << n;
        return false;
    }
    LayoutEntity entity(layoutContext, data);
    const bool updated = entity.update();
    if (!entity.validate()) {
        LOG_CRITICAL(lcLayoutSettings) << "invalid layout" << n << "=> restore.";
        return false;
    }
    if (updated) {
        if (LayoutFile(n).write(entity.getData(true))) {
            LOG_REPAIR(lcLayoutSettings) << "layout" << n << "brought up to date";
        }
    }
    return true;
}
