#pragma once

#include "EnumKey.h"

// Why a command failed, under ls::errorIdKey in a failure result ("Undefined" on success and for
// failed operations that have no more specific reason).
namespace ls {
namespace ErrorId {
    LS_ID_FAMILY_META(ErrorId)
    LS_ID(Undefined)
    LS_ID(InvalidCmd) // envelope incomplete or unknown command id
    LS_ID(InvalidSender) // sender id is not a known service
    LS_ID(CmdNotFound) // no handler registered for the command
    LS_ID(InvalidSubCmd) // the handler has no such sub-command
    LS_ID(InvalidValue) // an argument is present but unusable
    LS_ID(ValueNotFound) // a required argument is missing
    LS_ID(ServiceUnavailable) // a peer service could not be reached or did not answer
} // namespace ErrorId
} // namespace ls
