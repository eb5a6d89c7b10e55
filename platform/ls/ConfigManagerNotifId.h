#pragma once

#include "EnumKey.h"

// Notification ids of the configuration manager's `notification` signal, one per emitter.
namespace ls {
namespace ConfigManagerNotifId {
    LS_ID_FAMILY_META(ConfigManagerNotifId)
    LS_ID(LayoutChange)
    LS_ID(UserPaperChange)
    LS_ID(PrintChange)
    LS_ID(SslChange)
    LS_ID(EmbosserConfChange)
    LS_ID(RequestServiceRestart)
    LS_ID(EmbosserheadChange)
} // namespace ConfigManagerNotifId
} // namespace ls
