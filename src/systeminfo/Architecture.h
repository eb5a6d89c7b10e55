#pragma once

#include "property/manager/CatalogAccessor.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The architecture of the print processor, catalog "arch" in the slave state directory. The file
// always holds the value: a missing or empty file is written at start-up with the default or the
// flash memory's value.
class Architecture : public QObject {
    Q_OBJECT

public:
    Architecture(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    QString getArchitecture(const QString& collection) const;
    void setArchitecture(const QString& value, const QString& collection, bool save);

    // Reads the settings file; a failure logs and leaves `out` empty.
    bool readFile(QVariantMap& out) const;
    // Copies the settings file's values over the master catalog again.
    void load();
    bool saveToFile() const;
    CatalogAccessor& accessor() { return m_access; }
    const CatalogAccessor& accessor() const { return m_access; }

private:
    CatalogAccessor m_access;
};
