#pragma once

#include "EnumKey.h"

// The machine's switchable sensors; a text is the parameter's name in the "parameters" catalog,
// whose stored value is an ls::SensorValueId on/off text.
namespace ls {
namespace SensorStateId {
    LS_ID_FAMILY_META(SensorStateId)
    LS_NAMED_ID(PaperSensor, "Paper sensor")
    LS_NAMED_ID(TopOfFormSensor, "Top of form sensor")
    LS_NAMED_ID(PaperEndSensor, "Paper end sensor")
    LS_NAMED_ID(CoverSensor, "Cover sensor")
    LS_NAMED_ID(WallSensor, "Wall sensor")
} // namespace SensorStateId
} // namespace ls
