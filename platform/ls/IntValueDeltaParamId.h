#pragma once

#include "EnumKey.h"

// Per-hammer corrections of the pulse time in microseconds, one per hammer of the head; a text is
// the parameter's name in the "hammerDelta" catalog.
namespace ls {
namespace IntValueDeltaParamId {
    LS_ID_FAMILY_META(IntValueDeltaParamId)
    LS_NAMED_ID(Hammer1Delta, "Hammer 1 delta")
    LS_NAMED_ID(Hammer2Delta, "Hammer 2 delta")
    LS_NAMED_ID(Hammer3Delta, "Hammer 3 delta")
    LS_NAMED_ID(Hammer4Delta, "Hammer 4 delta")
    LS_NAMED_ID(Hammer5Delta, "Hammer 5 delta")
    LS_NAMED_ID(Hammer6Delta, "Hammer 6 delta")
    LS_NAMED_ID(Hammer7Delta, "Hammer 7 delta")
    LS_NAMED_ID(Hammer8Delta, "Hammer 8 delta")
} // namespace IntValueDeltaParamId
} // namespace ls
