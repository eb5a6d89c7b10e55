#pragma once

#include "EnumKey.h"

// The switch values stored as text in the "parameters" settings file: sensor states are "On" or
// "Off", the adjustable line spacing and the wait before printing are "Yes" or "No". The texts are
// the values the settings files and their defaults hold.
namespace ls {
namespace SensorValueId {
    LS_ID_FAMILY_META(SensorValueId)
    LS_NAMED_ID(YesValueKey, "Yes")
    LS_NAMED_ID(NoValueKey, "No")
    LS_NAMED_ID(OnValueKey, "On")
    LS_NAMED_ID(OffValueKey, "Off")
} // namespace SensorValueId
} // namespace ls
