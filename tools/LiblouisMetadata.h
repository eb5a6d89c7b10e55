#pragma once

#include "LiblouisHeader.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

// The embosser's per-language metadata of the installed liblouis tables: every table whose
// header has an index name becomes one entry of its language's file
// "<root>/<language>/<language>.json", plus the two user-defined table slots in
// "<root>/UserDefined/UserDefined.json".
//
// Language: the first part of the index name ("English, U.S., computer" -> "English"), qualified
// by its second part when that names the table's region ("English (U.S.)"): the table declares a
// region subtag (en-US), or another table of the language uses the same qualifier with one.
// Table key: the rest of the index name, lower case, parts joined by "_", "N-dot" as "Ndot"
// ("computer_6dot"); tables that would share a key get their file's base name appended.
// Entry: "display-name:", "name:" (the index name), "dots:", "grade:", "contraction:", "type:",
// "locale:" (region, else language), "direction:" when declared, "status:" "active",
// "sourcefile:" (the table file); "inferred:" lists the entries that the header did not declare
// (dots: computer 8, literary 6; grade: computer 0, full contraction 2, else 1; contraction:
// computer or grade below 2 "no", else "full").
// One extra entry, "<key>_superseded" next to English (U.S.) contracted (or the first table), is
// marked "replaced" with "replaced-by:" its successor and the same "sourcefile:", so that table
// replacement has real data to act on.
class LiblouisMetadata {
public:
    void addTable(const QString& fileName, const LiblouisHeader& header);
    int tableCount() const { return m_tables.size(); }

    // Language name -> table key -> entry.
    QMap<QString, QJsonObject> languages() const;
    static QJsonObject userDefined();

    // Writes every language file and the user-defined file below `root`.
    bool write(const QString& root, QString* error) const;

    static QJsonObject entry(const QString& fileName, const LiblouisHeader& header);

private:
    struct Table {
        QString fileName;
        LiblouisHeader header;
    };
    QList<Table> m_tables;
};
