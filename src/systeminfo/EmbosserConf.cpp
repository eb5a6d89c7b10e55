#include "EmbosserConf.h"

#include "DataFileLoader.h"
#include "Locations.h"
#include "System.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/EmbosserConfActionId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "property/manager/CatalogsManager.h"

CM_LOGGING_CATEGORY(lcEmbosserConf, "EmbosserConf")

namespace {
const QString catalogName = QStringLiteral("embosserConf");

const QString configurationKey = QStringLiteral("Configuration");
const QString modelKey = QStringLiteral("Model");
const QString serialNoKey = QStringLiteral("Serial No");
const QString firstTimeSetupKey = QStringLiteral("First Time Setup");

const QString embosserListFile = QStringLiteral("embosserList.json");
const QString flashModelKey = QStringLiteral("printer.hw.model");
// What a machine becomes that knows its model neither from its files nor from its flash.
const QString defaultModel = QStringLiteral("Corvane Zentra");
} // namespace

EmbosserConf::EmbosserConf(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(catalogName, Locations::embosserConfFile(), reader, writer, catalogs, lcEmbosserConf(), parent)
    , m_reader(reader)
{
    const SettingsFile::Origin origin = load().origin;
    if (!m_access.catalog(masterCollectionKey, Q_FUNC_INFO)) {
        // Without definitions nothing tells the model; resetting or flashing now could only lose
        // the machine's identity, and would do so at every start.
        LOG_CRITICAL(lcEmbosserConf) << "no identity catalog: the settings and the flash memory stay as they are.";
        return;
    }
    // A model that comes from the factory copy of a damaged file is a guess; the flash knows.
    reconcileModelWithFlash(origin == SettingsFile::Origin::Factory || origin == SettingsFile::Origin::Nothing);
    m_access.syncFlashParameters(Q_FUNC_INFO);
}

void EmbosserConf::reconcileModelWithFlash(bool modelIsGuess)
{
    // A null flash value means the field could not be read (not set); both values are taken
    // before any script runs, and the last step compares exactly these two.
    const QVariant flashModel = System::getFlashParameter(flashModelKey);
    QString model = getModel(masterCollectionKey);
    if (modelIsGuess && !flashModel.toString().isEmpty()) {
        LOG_REPAIR(lcEmbosserConf) << "the model" << model << "of a factory copy gives way to the flash model"
                                   << flashModel.toString();
        model.clear();
    }
    if (flashModel.isNull() && model.isEmpty()) {
        System::setEmbosserModel(defaultModel);
        System::saveFlashInfo(true);
    } else if (model.isEmpty()) {
        System::resetSettingsForFlashModel();
    } else if (flashModel.isNull()) {
        System::saveFlashInfo(true);
    }
    if (model.isEmpty()) {
        // The settings script replaced the settings files: take their values over, so that the
        // flash merge and any later save do not write the old values back.
        load();
    }
    // The flash is written only from settings that know the model: settings that lost it (a reset
    // that failed) would empty the flash and restart the machine at every start.
    if (getModel(masterCollectionKey).isEmpty()) {
        LOG_CRITICAL(lcEmbosserConf) << "the settings know no model; the flash memory stays as it is.";
        return;
    }
    // A null flash value differs from every model text, the empty one included.
    if (flashModel.isNull() || flashModel.toString() != model) {
        System::saveFlashInfo(true);
    }
}

// clang-format off
QString EmbosserConf::getModel(const QString& c) const { return m_access.getString(modelKey, c, Q_FUNC_INFO); }
int EmbosserConf::getConfiguration(const QString& c) const { return m_access.getInt(configurationKey, c, Q_FUNC_INFO); }
void EmbosserConf::setConfiguration(int v, const QString& c, bool s) { m_access.setValue(configurationKey, v, c, s, Q_FUNC_INFO); }
QString EmbosserConf::getSerialNo(const QString& c) const { return m_access.getString(serialNoKey, c, Q_FUNC_INFO); }
int EmbosserConf::getFirstTimeSetup() const { return m_access.getInt(firstTimeSetupKey, masterCollectionKey, Q_FUNC_INFO); }
void EmbosserConf::setFirstTimeSetup(int v) { m_access.setValue(firstTimeSetupKey, v, masterCollectionKey, true, Q_FUNC_INFO); }
// clang-format on

void EmbosserConf::setModel(const QString& value, const QString& collection, bool save)
{
    if (!isKnownModel(value)) {
        LOG_ERROR(lcEmbosserConf) << "refused model" << value << ": not a model of the embosser list";
        return;
    }
    m_access.setValue(modelKey, value, collection, save, Q_FUNC_INFO);
}

bool EmbosserConf::isKnownModel(const QString& model) const
{
    QVariantMap models;
    return !model.isEmpty()
        && DataFileLoader::load(m_reader, embosserListFile, models, Q_FUNC_INFO, lcEmbosserConf(), DataShape::objects())
        && models.contains(model);
}

void EmbosserConf::setSerialNo(const QString& value, const QString& collection, bool save)
{
    if (m_access.setValue(serialNoKey, value, collection, save, Q_FUNC_INFO)) {
        emitNotification(ls::EmbosserConfActionId::SetSerialNo, serialNoKey, value);
    }
}

QVariantMap EmbosserConf::embosserInfoCmd() const
{
    QVariantMap info;
    const ParametersCatalog* master = m_access.catalog(masterCollectionKey, Q_FUNC_INFO);
    if (!master) {
        return info;
    }
    const QStringList names = master->parameterNames();
    for (const QString& name : names) {
        const EmbosserParameter* parameter = master->parameter(name);
        if (parameter && !parameter->value.isNull()) {
            info.insert(name, parameter->value);
        }
    }
    return info;
}

void EmbosserConf::emitNotification(const EnumKey& action, const QString& key, const QVariant& value) const
{
    QVariantMap map {
        { ls::notificationIdKey, ls::ConfigManagerNotifId::EmbosserConfChange },
        { ls::actionIdKey, action },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
    };
    map.insert(key, value);
    LOG_DEBUG(lcEmbosserConf) << "Notification" << action;
    emit notification(map);
}
