#pragma once

#include "EnumKey.h"

// Command ids of the configuration manager's `process` method, one per command handler, in the
// order the handlers are registered.
namespace ls {
namespace ConfigManagerCmdId {
    LS_ID_FAMILY_META(ConfigManagerCmdId)
    LS_ID(Layout)
    LS_ID(BrailleTable)
    LS_ID(UserPaper)
    LS_ID(SystemInfo)
    LS_ID(Print)
    LS_ID(Ssl)
    LS_ID(SystemOptions)
} // namespace ConfigManagerCmdId
} // namespace ls
