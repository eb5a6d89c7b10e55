#pragma once

#include "TableListCache.h"
#include "lcm/EnumDetail.h"

#include <QString>
#include <QVariantMap>

#include <initializer_list>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The lists of active braille tables: one file per liblouis dot count and one for the legacy
// tables in the run directory, each generated from the metadata files when it is missing and
// regenerated when a user table changes, plus the generated metadata of the legacy tables. The
// filtered view of each list is cached for as long as its file is unchanged on disk, so a listing
// may read or even generate a file and fill the cache: every listing is a non-const operation.
class TableLists {
public:
    TableLists(ls::IReader* reader, ls::IWriter* writer);

    // "<language>/<table>" to display name for the active tables of a dot count.
    QVariantMap getLiblouisTables(lcm::BrailleType dots);
    bool validateLiblouisTable(lcm::BrailleType dots, const QString& table);
    QVariantMap getLegacyTables(lcm::BrailleType dots);
    // The whole legacy list file; empty when it cannot be read.
    QVariantMap getLegacyTables();
    bool validateLegacyTable(lcm::BrailleType dots, const QString& table);

    // The tables of one dot count in a list file; empty when it cannot be read.
    QVariantMap filterJsonValues(const QString& path, int dots);

    bool generateLiblouisList(int dots);
    bool generateLegacyList();
    // Scans every ".ebc" file below the legacy table root into the generated metadata file.
    bool generateLegacyJson();
    // Regenerates the liblouis list of a dot count after a change; when that fails the old list
    // is removed, so that the next listing generates it anew instead of showing stale tables.
    bool refreshLiblouisList(int dots);

    static QString liblouisListFile(int dots);
    static QString legacyListFile();
    static QString generatedLegacyMetadataFile();

private:
    enum class Family { Liblouis, Legacy };

    // Generates the list file of the family when it is missing; `function` names the caller in the log.
    void ensureList(const char* function, Family family, int dots);
    QVariantMap buildList(Family family, int dots) const;
    // Writes a generated list; `listed` are the dot counts whose filtered view is kept at once.
    bool writeList(const QString& path, const QVariantMap& list, std::initializer_list<int> listed);

    ls::IReader* m_reader;
    ls::IWriter* m_writer;
    TableListCache m_cache;
};
