#pragma once

#include <QString>
#include <QVariantMap>

// Rules for the names of braille tables (paths built from them pass SafePath): how
// "<language>/<table>" splits, where a language's metadata file lies, the display names
// derived when a table has none, and which user table slot a file name belongs to.
class TableNames {
public:
    // The two user table slots: base names of the files in the liblouis table directory, and
    // their entry keys in the user-defined metadata file.
    static const QString& userSlot6Dot();
    static const QString& userSlot8Dot();
    static const QString& userKey6Dot();
    static const QString& userKey8Dot();

    // Splits "<language>/<table>" at its only "/". False when there is no "/", it stands at
    // position 0, or either part is not a plain name.
    static bool split(const QString& name, QString& language, QString& table);

    // "<root>/<language>/<language>.json"
    static QString languageMetadataFile(const QString& root, const QString& language);

    // Whether an entry has a display name of its own: present and not the not-specified constant.
    static bool hasDisplayName(const QVariantMap& entry);
    // liblouis: "<language> <table>" with "_" in the table key shown as blanks.
    static QString liblouisDisplayName(const QString& language, const QString& table);
    // legacy: "<language>, <file>" from "<language>/<file>.ebc", without ".ebc", "_" shown as
    // blanks; a name without "/" at position 1 or later is used whole.
    static QString legacyDisplayName(const QString& name);

    // The entry key in the user-defined metadata file ("grade0_6dot", "grade0_8dot") of a name
    // that contains a slot name; empty for any other name.
    static QString userTableKey(const QString& name);
    // The slot base name ("user_defined_6dot", "user_defined_8dot") a name contains; empty when
    // it contains neither.
    static QString userTableSlot(const QString& name);
    // The language of the user tables in the metadata root and the table lists ("UserDefined").
    static const QString& userLanguage();
    // The table name a layout selects the slot by ("UserDefined/grade0_6dot"); empty for a name
    // that contains no slot name.
    static QString userTableId(const QString& name);
    // The dot count of an uploaded user table file: that of the slot it names, else 6 when the
    // name contains "6" and 8 otherwise.
    static int userTableDots(const QString& name);
};
