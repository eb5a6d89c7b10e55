#pragma once

#include "EnumKey.h"

// Notification ids of the state handler service.
namespace ls {
namespace StateHandlerNotifId {
    LS_ID_FAMILY_META(StateHandlerNotifId)
    LS_ID(StateChange)
} // namespace StateHandlerNotifId
} // namespace ls
