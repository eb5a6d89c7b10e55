#pragma once

#include "EnumKey.h"

// The two escape sequence types: the top-level members of "escapeParameters.json" and the
// values of ls::escSequenceType in a received sequence. ESC_D changes the document's settings,
// ESC_C the machine configuration.
namespace ls {
namespace EscapeTypes {
    LS_ID_FAMILY_META(EscapeTypes)
    LS_ID(ESC_C)
    LS_ID(ESC_D)
} // namespace EscapeTypes
} // namespace ls
