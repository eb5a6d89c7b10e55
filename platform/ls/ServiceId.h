#pragma once

#include "EnumKey.h"

// The services of the embosser: the sender of a command, and the peers reached over D-Bus.
namespace ls {
namespace ServiceId {
    LS_ID_FAMILY_META(ServiceId)
    LS_ID(ConfigManager)
    LS_ID(PrintManager)
    LS_ID(NetworkManager)
    LS_ID(DocumentManager)
    LS_ID(SpeechManager)
    LS_ID(StateHandler)
    LS_ID(ErrorHandler)
    LS_ID(WebServer)
    LS_ID(Panel)
} // namespace ServiceId
} // namespace ls
