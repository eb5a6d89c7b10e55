#pragma once

#include "TableListCache.h"
#include "lcm/EnumDetail.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <initializer_list>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The service's knowledge of braille translation tables. liblouis tables are described by one
// metadata file per language under the embosser's liblouis directory; legacy tables are ".ebc"
// files whose header gives their metadata. The lists of active tables per dot count are cached
// as files in the run directory: each is generated when missing and whenever a user table
// changes. Of the liblouis tables, two slots ("user_defined_6dot", "user_defined_8dot") hold
// tables uploaded by users.
//
// Table and language names from requests are used only when they cannot leave their directory
// (no "/" except the one between language and table, no "..", no NUL, and the resolved path
// stays inside). Every file written goes through the writer, which replaces files atomically.
class TableSettings : public QObject {
    Q_OBJECT

public:
    TableSettings(ls::IReader* reader, ls::IWriter* writer, QObject* parent = nullptr);
    ~TableSettings() override;

    // Legacy tables. `table` is "<language>/<file>.ebc" below the legacy table root.
    bool loadLegacyTable(const QString& path) const;
    QString legacyTableField(lcm::LegacyTable field) const;
    int legacyTableDots(const QString& table) const;
    int legacyTableType(const QString& table) const;

    // Lists by dot count: "<language>/<table>" to display name.
    QVariantMap getLiblouisTables(lcm::BrailleType dots) const;
    bool validateLiblouisTable(lcm::BrailleType dots, const QString& table) const;
    QVariantMap getLegacyTables(lcm::BrailleType dots) const;
    QVariantMap getLegacyTables() const;
    bool validateLegacyTable(lcm::BrailleType dots, const QString& table) const;

    // Metadata of one table, following one replacement; empty when there is none.
    QVariantMap getTableMetadata(const QString& language, const QString& table) const;
    QVariantMap getLegacyTableMetadata(const QString& language, const QString& table) const;
    // Keeps a liblouis table name, or replaces it in place by the active table with the same
    // source file when it has been replaced. False when the table is unknown.
    bool updateLiblouisTable(QString& table) const;

    QVariantMap filterJsonValues(const QString& path, int dots) const;
    // Merges `values` into the user table entry that `table` names.
    bool setJsonSettings(const QString& path, const QString& table, const QMap<QString, QString>& values) const;
    // Copies the leading "#+key:value" lines of a user table file into its metadata entry.
    bool exportTableMetadata(const QString& path, const QString& tableFile) const;

    // User table slots.
    QVariantMap getUserTables() const;
    bool addUserTable(const QString& tableFile, int dots) const;
    bool removeUserTable(const QString& slot, int dots) const;

    bool generateLiblouisList(int dots) const;
    bool generateLegacyList() const;
    bool generateLegacyJson() const;

    // The files this class generates and the user-defined metadata file.
    static QString liblouisListFile(int dots);
    static QString legacyListFile();
    static QString generatedLegacyMetadataFile();
    static QString userDefinedMetadataFile();
    // "<root>/<language>/<language>.json"
    static QString languageMetadataFile(const QString& root, const QString& language);

private:
    enum class Family { Liblouis, Legacy };

    QString legacyTablePath(const char* function, const QString& table) const;
    QVariantMap tableMetadata(const char* function, Family family, const QString& language, const QString& table) const;
    QVariantMap buildList(Family family, int dots) const;
    // Writes a generated list; `listed` are the dot counts whose filtered view is kept at once.
    bool writeList(const QString& path, const QVariantMap& list, std::initializer_list<int> listed) const;
    bool regenerateLiblouisList(int dots) const;

    ls::IReader* m_reader;
    ls::IWriter* m_writer;
    mutable TableListCache m_listCache;
};
