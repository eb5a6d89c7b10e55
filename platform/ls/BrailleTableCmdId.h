#pragma once

#include "EnumKey.h"

// Sub-commands of the `BrailleTable` handler, in the order of its dispatch table.
namespace ls {
namespace BrailleTableCmdId {
    LS_ID_FAMILY_META(BrailleTableCmdId)
    LS_ID(AddUserTables)
    LS_ID(DeleteUserTables)
    LS_ID(GetUserTables)
    LS_ID(GetTableMetadata)
    LS_ID(GetLegacyTableMetadata)
} // namespace BrailleTableCmdId
} // namespace ls
