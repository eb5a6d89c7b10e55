#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class CatalogsManager;
class Property;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The user's own choices among the machine parameters (those whose definition is marked
// "saveUserSettings"), exported to and imported from a flat JSON file of parameter name -> text,
// on the internal disk or on a USB stick. An import rewrites every settings file (through
// `requestSaveParameters`) and asks for a restart of the services (through `notification`).
class UserSettings : public QObject {
    Q_OBJECT

public:
    UserSettings(const ls::IReader& reader, const ls::IWriter& writer, const Property& definitions,
        CatalogsManager& catalogs, QObject* parent = nullptr);

    bool loadUserSettings();
    bool saveUserSettings();
    bool loadUserSettingsUSB();
    bool saveUserSettingsUSB();

    bool loadFile(const ls::IReader& reader, QVariantMap& out, const QString& path) const;
    // Applies the file's values to the master collection; false when a listed catalog is missing.
    bool readUserSettingsFile(QVariantMap& data);
    // The current user settings as name -> text.
    QVariantMap writeUserSettingsFile() const;
    bool saveToFile(const QString& path) const;

    // catalog name -> parameter names, fixed at construction
    QMap<QString, QStringList> userSettingsList() const { return m_userSettings; }

signals:
    void requestSaveParameters();
    void notification(QVariantMap notification);

private:
    static QString usbFile();

    const ls::IReader& m_reader;
    const ls::IWriter& m_writer;
    const Property& m_definitions;
    CatalogsManager& m_catalogs;
    QMap<QString, QStringList> m_userSettings;
};
