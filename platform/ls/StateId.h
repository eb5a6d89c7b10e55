#pragma once

#include "EnumKey.h"

// Operating states of the embosser as the state handler service reports them (under
// ls::stateIdKey). "Undefined" is also what the service answers when the state handler cannot be
// asked; "Error" is the state a cancelled document puts the machine in.
namespace ls {
namespace StateId {
    LS_ID_FAMILY_META(StateId)
    LS_ID(Undefined)
    LS_ID(Idle)
    LS_ID(Printing)
    LS_ID(Error)
} // namespace StateId
} // namespace ls
