#pragma once

#include "EnumKey.h"

// Floating parameters of the print head (distances in millimetres, repeat time in milliseconds);
// a text is the parameter's name in the "embosserhead" catalog.
namespace ls {
namespace DoubleValueParamId {
    LS_ID_FAMILY_META(DoubleValueParamId)
    LS_NAMED_ID(PHStepdist, "PH Step dist")
    LS_NAMED_ID(MinHammerRepeatTime, "Min hammer repeat time")
    LS_NAMED_ID(DistanceFromWall, "Distance from wall")
    LS_NAMED_ID(DistanceFromWall_1, "Distance from wall 1")
    LS_NAMED_ID(DistanceFromWall_2, "Distance from wall 2")
    LS_NAMED_ID(DistanceFromWall_3, "Distance from wall 3")
    LS_NAMED_ID(DistanceFromWall_4, "Distance from wall 4")
    LS_NAMED_ID(TotalDistance, "Total distance")
    LS_NAMED_ID(WallSensorDistanceFromWall, "Wall sensor distance from wall")
    LS_NAMED_ID(WallToWallDistance, "Wall to wall distance")
} // namespace DoubleValueParamId
} // namespace ls
