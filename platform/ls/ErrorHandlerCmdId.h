#pragma once

#include "EnumKey.h"

// Commands sent to the error handler service.
namespace ls {
namespace ErrorHandlerCmdId {
    LS_ID_FAMILY_META(ErrorHandlerCmdId)
    LS_ID(HandleError)
} // namespace ErrorHandlerCmdId
} // namespace ls
