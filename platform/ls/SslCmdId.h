#pragma once

#include "EnumKey.h"

// Sub-commands of the `Ssl` handler, in the order of its dispatch table.
namespace ls {
namespace SslCmdId {
    LS_ID_FAMILY_META(SslCmdId)
    LS_ID(GetState)
    LS_ID(SetState)
    LS_ID(GetCertificates)
    LS_ID(GetActiveCertificate)
    LS_ID(SetActiveCertificate)
    LS_ID(AddCertificate)
    LS_ID(DeleteCertificate)
} // namespace SslCmdId
} // namespace ls
