#pragma once

#include "EnumKey.h"

// Actions of the `SslChange` notification.
namespace ls {
namespace SslActionId {
    LS_ID_FAMILY_META(SslActionId)
    LS_ID(SetState)
    LS_ID(SetActiveCertificate)
    LS_ID(AddCertificate)
    LS_ID(DeleteCertificate)
} // namespace SslActionId
} // namespace ls
