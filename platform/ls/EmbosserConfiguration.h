#pragma once

#include "EnumKey.h"

// What the machine is configured for: the integer of an entry is the value of the "Configuration"
// parameter of the "embosserConf" catalog. `Normal` (0) is a machine in use; `TransportMode`
// switches network announcement and update checks off at start-up; `EMCTest` silences the
// confirmation tone of the escape sequences during EMC testing.
namespace ls {
namespace EmbosserConfiguration {
    LS_ID_FAMILY_META(EmbosserConfiguration)
    LS_ID(Normal)
    LS_ID(TransportMode)
    LS_ID(EMCTest)
} // namespace EmbosserConfiguration
} // namespace ls
