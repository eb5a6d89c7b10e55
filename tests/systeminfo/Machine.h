#pragma once

#include "ls/JFile.h"
#include "ls/PFile.h"
#include "property/PropValueList.h"
#include "property/Property.h"
#include "property/manager/CatalogsManager.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class Architecture;
class EmbosserConf;
class Embosserhead;
class HammerDelta;
class PageCounter;
class Parameters;
class SystemSettings;
class UserSettings;

// The service's JSON file access, recording the files it writes whole or by key, and able to fail.
class RecordingFile : public ls::JFile {
public:
    bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const override;
    bool write(const QString& file, const QString& key, const QVariant& value) const override;

    mutable QStringList wholeFiles;
    mutable QStringList keys;
    bool failing = false;
};

// The machine settings as the service builds them at start-up, in the same order: definitions,
// collections, defaults, then every topic class on the test's root.
struct Machine {
    Machine();

    RecordingFile file;
    ls::PFile oldFiles;
    Property property { file, file };
    CatalogsManager catalogs { property };
    PropValueList valueLists { file };
    // Parent of every object below; destroyed before the catalogs they refer to.
    QObject owner;
    EmbosserConf* embosserConf = nullptr;
    Architecture* architecture = nullptr;
    Embosserhead* embosserhead = nullptr;
    HammerDelta* hammerDelta = nullptr;
    PageCounter* pageCounter = nullptr;
    Parameters* parameters = nullptr;
    UserSettings* userSettings = nullptr;
    SystemSettings* settings = nullptr;

    // Changes the configured model in memory, without the rules of the identity's setter.
    void useModel(const QString& model);
    // Puts a value into the master collection as a settings file would, without the setters' checks.
    void store(const QString& catalog, const QString& name, const QVariant& value);
};
