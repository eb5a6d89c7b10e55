#include "UserSettings.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/EmbosserConfActionId.h"
#include "ls/IReader.h"
#include "ls/IWriter.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "property/Property.h"
#include "property/manager/CatalogsManager.h"

#include <QDir>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcUserSettings, "UserSettings")

namespace {
// The catalogs that can hold user settings; names compare exactly.
const QStringList userSettingsCatalogs = {
    QStringLiteral("arch"),
    QStringLiteral("embosserConf"),
    QStringLiteral("embosserhead"),
    QStringLiteral("hammerDelta"),
    QStringLiteral("parameters"),
    QStringLiteral("counters"),
    QStringLiteral("serialCom"),
    QStringLiteral("speech"),
};
const QString saveUserSettingsField = QStringLiteral("saveUserSettings");

} // namespace

UserSettings::UserSettings(const ls::IReader& reader, const ls::IWriter& writer, const Property& definitions,
    CatalogsManager& catalogs, QObject* parent)
    : QObject(parent)
    , m_reader(reader)
    , m_writer(writer)
    , m_definitions(definitions)
    , m_catalogs(catalogs)
{
    const QVariantMap catalogDefinitions = m_definitions.catalogs();
    for (const QString& catalog : userSettingsCatalogs) {
        const QVariantMap parameters = catalogDefinitions.value(catalog).toMap();
        QStringList names;
        for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it) {
            if (it.value().toMap().value(saveUserSettingsField).toBool()) {
                names.append(it.key());
            }
        }
        if (!names.isEmpty()) {
            m_userSettings.insert(catalog, names);
        }
    }
}

QString UserSettings::usbFile()
{
    // The USB copy carries the name of the internal file.
    return Locations::join(Locations::usbUserSettingsDir(), QFileInfo(Locations::userSettingsFile()).fileName());
}

bool UserSettings::loadUserSettings()
{
    QVariantMap data;
    return loadFile(m_reader, data, Locations::userSettingsFile()) && readUserSettingsFile(data);
}

bool UserSettings::saveUserSettings()
{
    return saveToFile(Locations::userSettingsFile());
}

bool UserSettings::loadUserSettingsUSB()
{
    QVariantMap data;
    return loadFile(m_reader, data, usbFile()) && readUserSettingsFile(data);
}

bool UserSettings::saveUserSettingsUSB()
{
    const QString& directory = Locations::usbUserSettingsDir();
    if (!QFileInfo(Locations::usbMountDir()).isDir() || !QDir().mkpath(directory)) {
        LOG_ERROR(lcUserSettings) << "Failed to find or create path" << directory << "!";
        return false;
    }
    return saveToFile(usbFile());
}

bool UserSettings::loadFile(const ls::IReader& reader, QVariantMap& out, const QString& path) const
{
    if (!reader.readToMap(path, out)) {
        LOG_ERROR(lcUserSettings) << "reading" << path << "failed";
        return false;
    }
    return true;
}

QVariantMap UserSettings::writeUserSettingsFile() const
{
    QVariantMap data;
    for (auto it = m_userSettings.constBegin(); it != m_userSettings.constEnd(); ++it) {
        ParametersCatalog* catalog = m_catalogs.getCatalog(it.key(), masterCollectionKey);
        if (!catalog) {
            return data;
        }
        for (const QString& name : it.value()) {
            if (const EmbosserParameter* parameter = catalog->getParameter(name, false)) {
                data.insert(name, parameter->value.toString());
            } else {
                LOG_ERROR(lcUserSettings) << "Saving" << name << "to file failed!";
            }
        }
    }
    return data;
}

bool UserSettings::saveToFile(const QString& path) const
{
    const QVariantMap data = writeUserSettingsFile();
    if (data.isEmpty()) {
        LOG_FAILED(lcUserSettings) << "User settings data is empty!";
        return false;
    }
    if (!m_writer.writeFromMap(QString(), path, data)) {
        LOG_ERROR(lcUserSettings) << "Saving data for file" << path << "failed!";
        return false;
    }
    return true;
}

bool UserSettings::readUserSettingsFile(QVariantMap& data)
{
    for (auto it = m_userSettings.constBegin(); it != m_userSettings.constEnd(); ++it) {
        ParametersCatalog* catalog = m_catalogs.getCatalog(it.key(), masterCollectionKey);
        if (!catalog) {
            return false;
        }
        for (const QString& name : it.value()) {
            if (!data.contains(name)) {
                LOG_ERROR(lcUserSettings) << "Parameter" << name << "does not exist in file!";
                continue;
            }
            EmbosserParameter* parameter = catalog->getParameter(name, false);
            if (!parameter) {
                continue;
            }
            // The file may come from a stick: a value is refused like a setter would refuse it.
            // Kept as text, as the file holds it; the getters convert it.
            const QVariant value = data.value(name);
            const QString problem = m_catalogs.checker().problem(parameter->definition, value);
            if (!problem.isEmpty()) {
                LOG_ERROR(lcUserSettings) << "Parameter" << name << "refused from file:" << problem;
                continue;
            }
            parameter->value = value.toString();
            parameter->inFile = true;
        }
    }
    emit requestSaveParameters();
    emit notification({
        { ls::notificationIdKey, ls::ConfigManagerNotifId::RequestServiceRestart },
        { ls::actionIdKey, ls::EmbosserConfActionId::RestoredUserSettings },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
    });
    return true;
}
