#pragma once

#include "EnumKey.h"

// Actions of the `EmbosserheadChange` notification: a hammer batch was selected and saved.
namespace ls {
namespace EmbosserheadActionId {
    LS_ID_FAMILY_META(EmbosserheadActionId)
    LS_ID(SetHammerBatch)
} // namespace EmbosserheadActionId
} // namespace ls
