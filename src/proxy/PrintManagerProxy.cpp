#include "PrintManagerProxy.h"

#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "peers/PrintManager.h"

namespace {
CM_LOGGING_CATEGORY(lc, "PrintManagerProxy")
}

namespace detail {

PrintManagerProxy::PrintManagerProxy(QObject* parent)
    : QObject(parent)
    , m_manager(libcorvane::Singleton<libprintmanager::detail::PrintManager>::instance())
{
    m_manager.setCheckConnection(false);
    connect(&m_manager, &libprintmanager::detail::PrintManager::connected, this, [this]() {
        LOG_DEBUG(lc) << "Connected tot print-manager";
        emit connected();
    });
    connect(&m_manager, &libprintmanager::detail::PrintManager::disconnected, this,
        []() { LOG_DEBUG(lc) << "Disconnected from print-manager"; });
}

bool PrintManagerProxy::restartServicesAfterReset()
{
    return m_manager.restartServicesAfterReset();
}

bool PrintManagerProxy::configureSlave()
{
    return m_manager.configureSlave();
}

} // namespace detail
