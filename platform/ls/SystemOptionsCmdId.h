#pragma once

#include "EnumKey.h"

// Sub-commands of the `SystemOptions` handler, in the order of its dispatch table.
namespace ls {
namespace SystemOptionsCmdId {
    LS_ID_FAMILY_META(SystemOptionsCmdId)
    LS_ID(GetDateTime)
    LS_ID(SetDateTime)
    LS_ID(GetTimeZone)
    LS_ID(SetTimeZone)
    LS_ID(SaveFlashInfo)
    LS_ID(SetModel)
    LS_ID(GetModel)
    LS_ID(ResetSettings)
    LS_ID(SetSecurityRoot)
    LS_ID(BackupConfigUsb)
    LS_ID(BackupConfigInternal)
    LS_ID(RestoreConfigUsb)
    LS_ID(RestoreConfigInternal)
} // namespace SystemOptionsCmdId
} // namespace ls
