#include "EchoPeer.h"

QVariantMap EchoPeer::process(const QVariantMap& request)
{
    if (request.contains("silent")) {
        // Answer later, that is never: the caller must give up on its own.
        setDelayedReply(true);
        return {};
    }
    return { { "resultId", "Success" }, { "errorId", "Undefined" }, { "echo", request } };
}
