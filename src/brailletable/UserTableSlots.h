#pragma once

#include <QMap>
#include <QString>
#include <QVariantMap>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

class TableLists;

// The two user table slots, "user_defined_6dot" and "user_defined_8dot": files uploaded to the
// liblouis table directory as ".ctb", ".cti" or ".tbl", described by the entries "grade0_6dot"
// and "grade0_8dot" of the user-defined metadata file. A change to a slot regenerates the
// liblouis list of its dot count before it returns. Only the slots' own files are ever touched,
// whatever else a name from a request contains.
class UserTableSlots {
public:
    UserTableSlots(ls::IReader* reader, ls::IWriter* writer, TableLists& lists);

    // Slot name to its present extensions, each followed by a blank; slots without files are absent.
    QVariantMap getUserTables() const;
    // ".ctb" activates the slot, ".tbl" imports its header, ".cti" is accepted as it is.
    bool addUserTable(const QString& tableFile, int dots);
    // Deletes the slot's files and resets its entry to "not defined".
    bool removeUserTable(const QString& slot, int dots);

    // Merges `values` into the slot entry that `table` names.
    bool setJsonSettings(const QString& path, const QString& table, const QMap<QString, QString>& values);
    // Copies the leading "#+key:value" lines of a user table file into its slot entry.
    bool exportTableMetadata(const QString& path, const QString& tableFile);

    static QString userDefinedMetadataFile();

private:
    ls::IReader* m_reader;
    ls::IWriter* m_writer;
    TableLists& m_lists;
};
