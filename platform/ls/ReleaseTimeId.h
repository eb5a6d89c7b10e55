#pragma once

#include "EnumKey.h"

// Timing of the paper release mechanism in milliseconds; a text is the parameter's name in the
// "parameters" catalog.
namespace ls {
namespace ReleaseTimeId {
    LS_ID_FAMILY_META(ReleaseTimeId)
    LS_NAMED_ID(Open, "Release time open")
    LS_NAMED_ID(Close, "Release time close")
    LS_NAMED_ID(Hold, "Release time hold")
} // namespace ReleaseTimeId
} // namespace ls
