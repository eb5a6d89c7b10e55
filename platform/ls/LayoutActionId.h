#pragma once

#include "EnumKey.h"

// Actions of the `LayoutChange` notification.
namespace ls {
namespace LayoutActionId {
    LS_ID_FAMILY_META(LayoutActionId)
    LS_ID(SetActive)
    LS_ID(AddLayout)
    LS_ID(WriteLayout)
    LS_ID(DeleteLayout)
} // namespace LayoutActionId
} // namespace ls
