#pragma once

#include "EnumKey.h"

// Actions of the `UserPaperChange` notification.
namespace ls {
namespace UserPaperActionId {
    LS_ID_FAMILY_META(UserPaperActionId)
    LS_ID(WritePaper)
    LS_ID(DeletePaper)
} // namespace UserPaperActionId
} // namespace ls
