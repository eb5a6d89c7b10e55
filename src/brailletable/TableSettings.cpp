#include "TableSettings.h"

TableSettings::TableSettings(ls::IReader* reader, ls::IWriter* writer, QObject* parent)
    : QObject(parent)
    , TableLists(reader, writer)
    , TableMetadata(reader)
    , UserTableSlots(reader, writer, *this)
{
}
