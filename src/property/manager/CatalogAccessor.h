#pragma once

#include "SettingsFile.h"

#include <QLoggingCategory>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

class CatalogsManager;
class ParametersCatalog;
struct EmbosserParameter;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The one way a settings class reads and writes the parameters of its topic catalog: a getter
// and a setter per parameter that take a collection name (and, for setters, a save flag), the
// load of the topic's settings file into the master collection, and saveToFile. The save flag
// always writes into the topic's settings file, whatever collection was addressed. The file itself
// is kept usable by SettingsFile (last good copy, factory copy, damaged files moved aside).
//
// The master catalog is looked up on every call rather than cached: collections share their data
// until one is changed, and a cached pointer into shared data would outlive the duplication or
// removal of another collection. The lookup is two hash finds.
//
// A catalog of run-time values (network state, job values) has no settings file: its accessor
// keeps every change in memory, whatever the save flag, and has nothing to load or save.
//
// Log lines carry the caller's name: pass Q_FUNC_INFO as `caller`.
class CatalogAccessor {
public:
    CatalogAccessor(const QString& catalogName, const QString& settingsFile, const ls::IReader& reader,
        const ls::IWriter& writer, CatalogsManager& catalogs, const QLoggingCategory& category);
    // In memory only.
    CatalogAccessor(const QString& catalogName, CatalogsManager& catalogs, const QLoggingCategory& category);

    const QString& catalogName() const { return m_catalogName; }
    // Empty for a catalog kept in memory only.
    const QString& settingsFile() const;
    CatalogsManager& catalogs() const { return m_catalogs; }

    // The topic catalog of a collection; null (and logged) when it does not exist.
    ParametersCatalog* catalog(const QString& collection, const char* caller) const;

    // Error values: -1, -1.0 and an empty string.
    int getInt(const QString& parameter, const QString& collection, const char* caller) const;
    double getDouble(const QString& parameter, const QString& collection, const char* caller) const;
    QString getString(const QString& parameter, const QString& collection, const char* caller) const;
    // The raw value; invalid when the catalog or the parameter is missing.
    QVariant getValue(const QString& parameter, const QString& collection, const char* caller) const;
    // Every parameter of the collection's topic catalog that has a value, by name; empty when the
    // catalog is missing.
    QVariantMap values(const QString& collection, const char* caller) const;

    // False when nothing changed: no catalog, no parameter, or a value that does not fit the
    // parameter's definition (ValueChecker). A failed write of the settings file still leaves the
    // value changed in memory and returns true.
    bool setValue(const QString& parameter, const QVariant& value, const QString& collection, bool save,
        const char* caller) const;

    // What a load found: the number of keys the file gave, and where they came from.
    struct Loaded {
        int keys = 0;
        SettingsFile::Origin origin = SettingsFile::Origin::Nothing;
    };

    // Reads the settings file (repairing it when missing or damaged) into the master catalog: its
    // values are in the file from then on.
    Loaded load(const char* caller) const;
    // Reads the settings file, repairing it when missing or damaged; false leaves `out` empty.
    bool readFile(QVariantMap& out, const char* caller) const;
    // Replaces the settings file with every value of the master catalog that is in the file.
    bool saveToFile(const char* caller) const;
    // Takes over the flash memory's values and rewrites the settings file when any changed.
    void syncFlashParameters(const char* caller) const;

private:
    // The parameter in the collection's topic catalog; null (and logged) when either is missing.
    const EmbosserParameter* find(const QString& parameter, const QString& collection, const char* caller) const;

    const QString m_catalogName;
    const std::optional<SettingsFile> m_file;
    CatalogsManager& m_catalogs;
    const QLoggingCategory& m_category;
};
