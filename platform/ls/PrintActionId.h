#pragma once

#include "EnumKey.h"

// Actions of the `PrintChange` notification.
namespace ls {
namespace PrintActionId {
    LS_ID_FAMILY_META(PrintActionId)
    LS_ID(SetKeepFormat)
    LS_ID(SetKeepCapitalization)
    LS_ID(SetTabSize)
} // namespace PrintActionId
} // namespace ls
