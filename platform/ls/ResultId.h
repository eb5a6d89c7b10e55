#pragma once

#include "EnumKey.h"

// The outcome of a command, under ls::resultIdKey in every result map.
namespace ls {
namespace ResultId {
    LS_ID_FAMILY_META(ResultId)
    LS_ID(Success)
    LS_ID(Failure)
} // namespace ResultId
} // namespace ls
