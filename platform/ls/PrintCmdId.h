#pragma once

#include "EnumKey.h"

// Sub-commands of the `Print` handler, in the order of its dispatch table.
namespace ls {
namespace PrintCmdId {
    LS_ID_FAMILY_META(PrintCmdId)
    LS_ID(GetKeepFormat)
    LS_ID(SetKeepFormat)
    LS_ID(GetKeepCapitalization)
    LS_ID(SetKeepCapitalization)
    LS_ID(GetTabSize)
    LS_ID(SetTabSize)
    LS_ID(GetFilters)
    LS_ID(GetExtensions)
    LS_ID(GetPreviews)
    LS_ID(SetTemporarySettings)
    LS_ID(GetLabelTemplate)
    LS_ID(SaveTemplateInternal)
    LS_ID(SaveLabelTemplateFile)
} // namespace PrintCmdId
} // namespace ls
