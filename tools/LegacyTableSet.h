#pragma once

#include "LegacyTable.h"

#include <QJsonObject>
#include <QList>
#include <QString>

// The shipped legacy braille tables, built from their source description (legacy-tables.json):
// per language its locale, speech language, page number text, signs and national cells, and
// its tables (file name, names, dates, type). Each table's cells start from North American
// Braille ASCII (8-dot tables: capitals with dot 7, controls and the upper half of the code page
// with dot 8) and take the language's cells on top; a capital letter is its small letter, with
// dot 7 in an 8-dot table.
//
// Written below a root: usr/share/embosser/tables/<language>/<file>.ebc and, per language,
// <language>/<language>.json with one entry per table keyed by "<file>.ebc".
class LegacyTableSet {
public:
    bool load(const QString& descriptionPath, QString* error);
    bool write(const QString& root, QString* error) const;

    struct Table {
        QString language;
        QString file; // with ".ebc"
        LegacyTable table;
        int dots = 6;
        int typeCode = 0;
        int length = LegacyTableFormat::FileSize; // shorter for a cut-off file
        QJsonObject metadata;
    };
    const QList<Table>& tables() const { return m_tables; }

private:
    bool addLanguage(
        const QString& language, const QJsonObject& description, const QJsonObject& defaults, QString* error);

    QList<Table> m_tables;
};
