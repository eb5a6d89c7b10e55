#include "Embosserhead.h"

#include "Locations.h"
#include "SafePath.h"
#include "System.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/DoubleValueParamId.h"
#include "ls/EmbosserheadActionId.h"
#include "ls/IReader.h"
#include "ls/IntValueParamId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "property/manager/CatalogsManager.h"

#include <QFileInfo>

#include <algorithm>

CM_LOGGING_CATEGORY(lcEmbosserhead, "Embosserhead")

namespace {

const QString hammerBatchDirName = QStringLiteral("hammer_batch");
const QString modelName = QStringLiteral("Model");
// Batches up to this number have no file; from the next one the model's directory serves them.
constexpr int lastBatchWithoutFile = 1713;
constexpr int lastModelBatch = 8999;
// The batch every machine leaves the factory with; its values are the settings file's own.
constexpr int factoryBatch = 1600;

bool isIntKey(const QString& key)
{
    return ls::IntValueParamId::meta.keyToValue(key) != ls::MetaEnum::invalid();
}

bool isDoubleKey(const QString& key)
{
    return ls::DoubleValueParamId::meta.keyToValue(key) != ls::MetaEnum::invalid();
}

bool toBatch(const QString& name, int& batch)
{
    bool ok = false;
    batch = name.toInt(&ok);
    return ok;
}

} // namespace

Embosserhead::Embosserhead(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(QStringLiteral("embosserhead"), Locations::embosserheadFile(), reader, writer, catalogs,
        lcEmbosserhead(), parent)
    , m_reader(reader)
    , m_embosserConf(
          QStringLiteral("embosserConf"), Locations::embosserConfFile(), reader, writer, catalogs, lcEmbosserhead())
{
    loadAndSyncFlash(Q_FUNC_INFO);
    readHammerBatch(masterCollectionKey);
}

int Embosserhead::getIntValue(const QString& key, const QString& collection) const
{
    return m_access.getInt(key, collection, Q_FUNC_INFO);
}

double Embosserhead::getDoubleValue(const QString& key, const QString& collection) const
{
    return m_access.getDouble(key, collection, Q_FUNC_INFO);
}

bool Embosserhead::setIntValue(const QString& key, int value, const QString& collection, bool save)
{
    if (!isIntKey(key)) {
        LOG_ERROR(lcEmbosserhead) << "Invalid int value parameter key!";
        return false;
    }
    return m_access.setValue(key, value, collection, save, Q_FUNC_INFO);
}

bool Embosserhead::setDoubleValue(const QString& key, double value, const QString& collection, bool save)
{
    if (!isDoubleKey(key)) {
        LOG_ERROR(lcEmbosserhead) << "Invalid double value parameter key!";
        return false;
    }
    return m_access.setValue(key, value, collection, save, Q_FUNC_INFO);
}

int Embosserhead::getIntValueChecked(const QString& key, const QString& collection, const char* caller) const
{
    if (!isIntKey(key)) {
        qCCritical(lcEmbosserhead).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Invalid int value parameter key!" << key << collection;
        return -1;
    }
    return getIntValue(key, collection);
}

bool Embosserhead::setIntValueChecked(
    const QString& key, int value, const QString& collection, bool save, const char* caller)
{
    if (!isIntKey(key)) {
        qCCritical(lcEmbosserhead).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Invalid int value parameter key!" << key << collection;
        return false;
    }
    return setIntValue(key, value, collection, save);
}

QString Embosserhead::modelDirectoryName() const
{
    QString model = m_embosserConf.getString(modelName, masterCollectionKey, Q_FUNC_INFO);
    return model.replace(QLatin1Char(' '), QLatin1Char('_'));
}

QString Embosserhead::modelHammerBatchDir() const
{
    // The model comes from a settings file: it must name a folder of the settings directory.
    const QString model = modelDirectoryName();
    const QString directory = QStringLiteral("%1/%2/%3").arg(Locations::settingsDir(), model, hammerBatchDirName);
    if (!SafePath::isPlainName(model) || !SafePath::isInside(Locations::settingsDir(), directory)) {
        LOG_ERROR(lcEmbosserhead) << "model" << model << "names no folder of the settings directory";
        return QString();
    }
    return directory;
}

int Embosserhead::matchHammerBatch(int batch) const
{
    const QString directory = modelHammerBatchDir();
    if (directory.isEmpty()) {
        return batch;
    }
    if (QFileInfo::exists(Locations::join(directory, QString::number(batch)))) {
        return batch;
    }
    QStringList names = Utils::listFiles(directory);
    // Text order, as the batch files have always been searched: "10000" comes before "9000".
    std::sort(names.begin(), names.end());
    if (names.isEmpty()) {
        LOG_ERROR(lcEmbosserhead) << "No hammer batches available for current model!";
        return batch;
    }
    for (int i = 0; i + 1 < names.size(); ++i) {
        int first = 0;
        int second = 0;
        if (!toBatch(names.at(i), first) || !toBatch(names.at(i + 1), second)) {
            LOG_ERROR(lcEmbosserhead) << "Hammer batch conversion to int failed!";
            return batch;
        }
        const int lower = std::min(first, second);
        if (batch > lower && batch < std::max(first, second)) {
            return lower;
        }
    }
    int last = 0;
    if (!toBatch(names.constLast(), last)) {
        LOG_ERROR(lcEmbosserhead) << "Hammer batch conversion to int failed!";
        return batch;
    }
    return std::min(batch, last);
}

QString Embosserhead::hammerBatchFile(int matchedBatch) const
{
    if (matchedBatch > lastModelBatch) {
        return Locations::join(Locations::hammerBatchDir(), QString::number(matchedBatch));
    }
    const QString directory = modelHammerBatchDir();
    if (directory.isEmpty()) {
        return QString();
    }
    if (matchedBatch > lastBatchWithoutFile) {
        return Locations::join(directory, QString::number(matchedBatch));
    }
    return Locations::join(directory, QStringLiteral("non_existent_hammer_batch"));
}

void Embosserhead::setHammerBatchParameters(int batch, const QString& collection, bool save)
{
    if (save) {
        setIntValue(ls::IntValueParamId::HammerBatch, batch, collection, true);
        System::saveFlashInfo(true);
    }
    const QString path = hammerBatchFile(matchHammerBatch(batch));
    if (!QFileInfo::exists(path)) {
        LOG_ERROR(lcEmbosserhead) << "Unable to find hammer batch file" << path << " for reading.";
        return;
    }
    QVariantMap values;
    if (!m_reader.readToMap(path, values)) {
        LOG_ERROR(lcEmbosserhead) << "reading" << path << "failed";
        return;
    }
    // In memory only: a restart recomputes them from the stored batch number.
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        setIntValue(it.key(), it.value().toInt(), collection, false);
    }
    if (save) {
        emit notification({
            { ls::notificationIdKey, QString(ls::ConfigManagerNotifId::EmbosserheadChange) },
            { ls::actionIdKey, QString(ls::EmbosserheadActionId::SetHammerBatch) },
            { ls::senderIdKey, QString(ls::ServiceId::ConfigManager) },
            { ls::IntValueParamId::HammerBatch, batch },
        });
    }
}

void Embosserhead::readHammerBatch(const QString& collection)
{
    const ParametersCatalog* catalog = m_access.catalog(collection, Q_FUNC_INFO);
    if (!catalog) {
        return;
    }
    const EmbosserParameter* stored = catalog->parameter(ls::IntValueParamId::HammerBatch);
    if (!stored) {
        return;
    }
    const int batch = stored->value.toInt();
    if (batch == factoryBatch) {
        return;
    }
    setHammerBatchParameters(batch, collection, false);
}

QString Embosserhead::buildHammerBatchString() const
{
    const int stored = getIntValue(ls::IntValueParamId::HammerBatch, masterCollectionKey);
    const int matched = matchHammerBatch(stored);
    if (matched == stored) {
        return QString::number(stored);
    }
    return QStringLiteral("%1 [%2]").arg(stored).arg(matched);
}
