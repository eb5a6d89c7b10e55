#include "DocumentManager.h"

#include "ls/ServiceId.h"

namespace libdocumentmanager {
namespace detail {

    DocumentManager::DocumentManager(QObject* parent)
        : PeerClient(ls::ServiceId::DocumentManager, parent)
    {
    }

    bool DocumentManager::restartServicesAfterReset()
    {
        return call(QStringLiteral("restartServicesAfterReset"));
    }

} // namespace detail
} // namespace libdocumentmanager
