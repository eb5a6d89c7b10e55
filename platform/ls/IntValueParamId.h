#pragma once

#include "EnumKey.h"

// Integer parameters of the print head: hammer timing per speed (odd and even hammers), alignment,
// voltages, fan thresholds, head sensors and the selected hammer batch. A text is the parameter's
// name in the "embosserhead" catalog and a key of the hammer batch files. The symbols keep the
// framework's spellings (`...PwnTime`, `HammerUseLowerImpact`, `PrintHeadSensorExists`); there is
// no draft-speed alignment key.
namespace ls {
namespace IntValueParamId {
    LS_ID_FAMILY_META(IntValueParamId)
    LS_NAMED_ID(PaperSensorLevel, "Paper sensor level")
    LS_NAMED_ID(AlignLow, "Align low")
    LS_NAMED_ID(AlignHigh, "Align high")
    LS_NAMED_ID(AlignAdjustment, "Align adjustment")
    LS_NAMED_ID(AlignAdjustmentLowSpeed, "Align adjustment low speed")
    LS_NAMED_ID(AlignAdjustmentMediumSpeed, "Align adjustment medium speed")
    LS_NAMED_ID(AlignAdjustmentHighSpeed, "Align adjustment high speed")
    LS_NAMED_ID(AlignAdjustmentTempSpeed, "Align adjustment temp speed")
    LS_NAMED_ID(AllowMultipleHammers, "Allow multiple hammers")
    LS_NAMED_ID(OddLowPulseTime, "Odd low pulse time")
    LS_NAMED_ID(OddLowPwnTime, "Odd low PWM time")
    LS_NAMED_ID(OddLowDutyCycle, "Odd low duty cycle")
    LS_NAMED_ID(EvenLowPulseTime, "Even low pulse time")
    LS_NAMED_ID(EvenLowPwnTime, "Even low PWM time")
    LS_NAMED_ID(EvenLowDutyCycle, "Even low duty cycle")
    LS_NAMED_ID(OddMediumPulseTime, "Odd medium pulse time")
    LS_NAMED_ID(OddMediumPwnTime, "Odd medium PWM time")
    LS_NAMED_ID(OddMediumDutyCycle, "Odd medium duty cycle")
    LS_NAMED_ID(EvenMediumPulseTime, "Even medium pulse time")
    LS_NAMED_ID(EvenMediumPwnTime, "Even medium PWM time")
    LS_NAMED_ID(EvenMediumDutyCycle, "Even medium duty cycle")
    LS_NAMED_ID(OddHighPulseTime, "Odd high pulse time")
    LS_NAMED_ID(OddHighPwnTime, "Odd high PWM time")
    LS_NAMED_ID(OddHighDutyCycle, "Odd high duty cycle")
    LS_NAMED_ID(EvenHighPulseTime, "Even high pulse time")
    LS_NAMED_ID(EvenHighPwnTime, "Even high PWM time")
    LS_NAMED_ID(EvenHighDutyCycle, "Even high duty cycle")
    LS_NAMED_ID(OddDraftPulseTime, "Odd draft pulse time")
    LS_NAMED_ID(OddDraftPwnTime, "Odd draft PWM time")
    LS_NAMED_ID(OddDraftDutyCycle, "Odd draft duty cycle")
    LS_NAMED_ID(EvenDraftPulseTime, "Even draft pulse time")
    LS_NAMED_ID(EvenDraftPwnTime, "Even draft PWM time")
    LS_NAMED_ID(EvenDraftDutyCycle, "Even draft duty cycle")
    LS_NAMED_ID(HammerUseLowerImpact, "Hammer use lower impact")
    LS_NAMED_ID(VoltEmbosserHead, "Volt embosser head")
    LS_NAMED_ID(VoltPaperFeed, "Volt paper feed")
    LS_NAMED_ID(FanTemperatureOff, "Fan temperature off")
    LS_NAMED_ID(FanTemperatureOn, "Fan temperature on")
    LS_NAMED_ID(PrintHeadSensorExists, "Print head sensor exists")
    LS_NAMED_ID(DirectionForHead2, "Direction for head 2")
    LS_NAMED_ID(SearchForHeadReference, "Search for head reference")
    LS_NAMED_ID(DraftSpeed, "Draft speed")
    LS_NAMED_ID(HighQualitySpeed, "High quality speed")
    LS_NAMED_ID(HammerBatch, "Hammer batch")
} // namespace IntValueParamId
} // namespace ls
