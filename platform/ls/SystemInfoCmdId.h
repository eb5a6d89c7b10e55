#pragma once

#include "EnumKey.h"

// Sub-commands of the `SystemInfo` handler, in the order of its dispatch table.
namespace ls {
namespace SystemInfoCmdId {
    LS_ID_FAMILY_META(SystemInfoCmdId)
    LS_ID(GetSystemInfo)
    LS_ID(GetSystemLogs)
    LS_ID(GetServiceLogs)
    LS_ID(GetErrorLogs)
    LS_ID(GetPackageList)
    LS_ID(ReadLogs)
    LS_ID(ClearLogs)
} // namespace SystemInfoCmdId
} // namespace ls
