#pragma once

#include "EnumKey.h"

// Notification ids of the error handler service.
namespace ls {
namespace ErrorHandlerNotifId {
    LS_ID_FAMILY_META(ErrorHandlerNotifId)
    LS_ID(ErrorChange)
} // namespace ErrorHandlerNotifId
} // namespace ls
