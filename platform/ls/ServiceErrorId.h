#pragma once

#include "EnumKey.h"

// Errors this service raises through the error handler when an escape sequence cannot be
// applied (missing dependency, impossible page geometry).
namespace ls {
namespace ServiceErrorId {
    LS_ID_FAMILY_META(ServiceErrorId)
    LS_ID(EscMissingParameter)
    LS_ID(EscMaxCharacterLine)
    LS_ID(EscMaxLinePerPage)
} // namespace ServiceErrorId
} // namespace ls
