#pragma once

#include "EnumKey.h"

// Sub-commands of the `Paper` handler (command `UserPaper`), in the order of its dispatch table.
namespace ls {
namespace UserPaperCmdId {
    LS_ID_FAMILY_META(UserPaperCmdId)
    LS_ID(ReadPaper)
    LS_ID(ReadAllPapers)
    LS_ID(WritePaper)
    LS_ID(DeletePaper)
    LS_ID(GetPaperValues)
    LS_ID(ReadPaperList)
    LS_ID(ReadPaperRegionsList)
} // namespace UserPaperCmdId
} // namespace ls
