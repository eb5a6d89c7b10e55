#pragma once

#include "TableLists.h"
#include "TableMetadata.h"
#include "UserTableSlots.h"

#include <QObject>

// The service's knowledge of braille translation tables, the one object other subsystems hold:
// liblouis tables described by one metadata file per language, legacy ".ebc" tables whose header
// gives their metadata, and the two user table slots. It is made of three parts, each with its
// own job: the generated lists and their cache (TableLists), the lookup of one table's metadata
// (TableMetadata) and the user table slots (UserTableSlots, which regenerate the lists they
// change). The parts are private bases so that their operations are published below as rows
// rather than forwarding bodies.
//
// Table and language names from requests are used only when they cannot leave their directory
// (no "/" except the one between language and table, no "..", no NUL, and the resolved path
// stays inside). Every file written goes through the writer, which replaces files atomically.
class TableSettings : public QObject, private TableLists, private TableMetadata, private UserTableSlots {
    Q_OBJECT

public:
    TableSettings(ls::IReader* reader, ls::IWriter* writer, QObject* parent = nullptr);

    using TableLists::filterJsonValues;
    using TableLists::generateLegacyJson;
    using TableLists::generateLegacyList;
    using TableLists::generateLiblouisList;
    using TableLists::getLegacyTables;
    using TableLists::getLiblouisTables;
    using TableLists::validateLegacyTable;
    using TableLists::validateLiblouisTable;

    using TableMetadata::getLegacyTableMetadata;
    using TableMetadata::getTableMetadata;
    using TableMetadata::legacyTableDots;
    using TableMetadata::legacyTableField;
    using TableMetadata::legacyTableType;
    using TableMetadata::loadLegacyTable;
    using TableMetadata::updateLiblouisTable;

    using UserTableSlots::addUserTable;
    using UserTableSlots::exportTableMetadata;
    using UserTableSlots::getUserTables;
    using UserTableSlots::removeUserTable;
    using UserTableSlots::setJsonSettings;
};
