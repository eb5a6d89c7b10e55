#include "EchoPeer.h"

EchoPeer::EchoPeer(QObject* parent)
    : QObject(parent)
{
}

QVariantMap EchoPeer::process(const QVariantMap& request)
{
    if (request.contains(QStringLiteral("silent"))) {
        // Answer later, that is never: the caller must give up on its own.
        setDelayedReply(true);
        return {};
    }
    return { { QStringLiteral("resultId"), QStringLiteral("Success") },
        { QStringLiteral("errorId"), QStringLiteral("Undefined") }, { QStringLiteral("echo"), request } };
}
