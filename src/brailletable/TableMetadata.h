#pragma once

#include "lcm/EnumDetail.h"

#include <QString>
#include <QVariantMap>

namespace ls {
class IReader;
} // namespace ls

// Lookup of one table's metadata: the entry of a liblouis or legacy table in its language's
// metadata file, following one replacement and filling in a derived display name; the current
// name of a replaced liblouis table; and the type and dot count that a legacy table's own header
// gives. Reads only; the legacy header goes through the process-wide LegacyTableBuffer.
class TableMetadata {
public:
    explicit TableMetadata(ls::IReader* reader);

    // The table's entry. A language whose file cannot be opened, or a name that could leave the
    // metadata root, gives an empty map; a file that cannot be parsed or lacks the table gives an
    // entry with only the derived display name.
    QVariantMap getTableMetadata(const QString& language, const QString& table) const;
    QVariantMap getLegacyTableMetadata(const QString& language, const QString& table) const;

    // Keeps a liblouis table name, or replaces it in place by the active table with the same
    // source file when it has been replaced. False when the table is unknown.
    bool updateLiblouisTable(QString& table) const;

    // Legacy tables. `table` is "<language>/<file>.ebc" below the legacy table root; -1 when it
    // cannot be read.
    bool loadLegacyTable(const QString& path) const;
    QString legacyTableField(lcm::LegacyTable field) const;
    int legacyTableDots(const QString& table) const;
    int legacyTableType(const QString& table) const;

private:
    enum class Family { Liblouis, Legacy };

    QVariantMap lookup(const char* function, Family family, const QString& language, const QString& table) const;
    // Member `table` of a metadata file as a map; empty when the file cannot be parsed or lacks it.
    QVariantMap member(const QString& file, const QString& table) const;
    QString legacyTablePath(const char* function, const QString& table) const;

    ls::IReader* m_reader;
};
