#pragma once

#include "EnumKey.h"

// Commands sent to the state handler service.
namespace ls {
namespace StateHandlerCmdId {
    LS_ID_FAMILY_META(StateHandlerCmdId)
    LS_ID(GetState)
    LS_ID(SetState)
    LS_ID(GoToPrevious)
} // namespace StateHandlerCmdId
} // namespace ls
