#pragma once

#include "EnumKey.h"

// The user's answer to an error, as the error handler service reports it (under
// ls::errorReturnCodeKey). `Cancel` drops the document; `Continue` goes on with it; "Undefined"
// means no answer is known for the error.
namespace ls {
namespace ErrorReturn {
    LS_ID_FAMILY_META(ErrorReturn)
    LS_ID(Undefined)
    LS_ID(Cancel)
    LS_ID(Continue)
} // namespace ErrorReturn
} // namespace ls
