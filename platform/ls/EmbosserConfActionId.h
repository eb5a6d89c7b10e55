#pragma once

#include "EnumKey.h"

// Actions of the notifications of the machine identity and the user settings: `SetSerialNo`
// (`EmbosserConfChange`, a new serial number) and `RestoredUserSettings` (`RequestServiceRestart`,
// user settings were loaded and every settings file rewritten).
namespace ls {
namespace EmbosserConfActionId {
    LS_ID_FAMILY_META(EmbosserConfActionId)
    LS_ID(SetSerialNo)
    LS_ID(RestoredUserSettings)
} // namespace EmbosserConfActionId
} // namespace ls
