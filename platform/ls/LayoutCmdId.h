#pragma once

#include "EnumKey.h"

// Sub-commands of the `Layout` handler (command `Layout`), in the order of its dispatch table;
// the debug console numbers them by these integers.
namespace ls {
namespace LayoutCmdId {
    LS_ID_FAMILY_META(LayoutCmdId)
    LS_ID(GetActive)
    LS_ID(SetActive)
    LS_ID(AddLayout)
    LS_ID(DeleteLayout)
    LS_ID(ReadLayout)
    LS_ID(ReadAllLayouts)
    LS_ID(WriteLayout)
    LS_ID(Test_WriteLayout)
    LS_ID(GetPropertyValues)
    LS_ID(Test_GetPropertyValues)
    LS_ID(ReadParameterList)
    LS_ID(ReadValueList)
    LS_ID(ReadDocSettingList)
    LS_ID(BackupLocal)
    LS_ID(BackupUsb)
    LS_ID(BackupDownload)
    LS_ID(RestoreLocal)
    LS_ID(RestoreUsb)
    LS_ID(RestoreDistributor)
    LS_ID(RestoreUpload)
    LS_ID(RestoreFactory)
    LS_ID(GetLocalBackups)
    LS_ID(GetUsbBackups)
    LS_ID(GetDistributorBackups)
    LS_ID(GetPaperSize)
    LS_ID(GetUseAdjustableLS)
    LS_ID(SetUseAdjustableLS)
    LS_ID(GetLiblouisTables)
    LS_ID(GetLegacyTables)
    LS_ID(GetLegacyTableDisplayName)
} // namespace LayoutCmdId
} // namespace ls
