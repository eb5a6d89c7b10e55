#include "PrintManager.h"

#include "ls/ServiceId.h"

namespace libprintmanager {
namespace detail {

    PrintManager::PrintManager(QObject* parent)
        : PeerClient(ls::ServiceId::PrintManager, parent)
    {
    }

    bool PrintManager::restartServicesAfterReset()
    {
        return call(QStringLiteral("restartServicesAfterReset"));
    }

    bool PrintManager::configureSlave()
    {
        return call(QStringLiteral("configureSlave"));
    }

} // namespace detail
} // namespace libprintmanager
