#include "DocumentManagerProxy.h"

#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "peers/DocumentManager.h"

namespace {
CM_LOGGING_CATEGORY(lc, "DocumentManagerProxy")
}

namespace detail {

DocumentManagerProxy::DocumentManagerProxy(QObject* parent)
    : QObject(parent)
    , m_manager(libcorvane::Singleton<libdocumentmanager::detail::DocumentManager>::instance())
{
    m_manager.setCheckConnection(false);
    connect(&m_manager, &libdocumentmanager::detail::DocumentManager::connected, this, [this]() {
        LOG_DEBUG(lc) << "Connected tot document-manager";
        emit connected();
    });
    connect(&m_manager, &libdocumentmanager::detail::DocumentManager::disconnected, this,
        []() { LOG_DEBUG(lc) << "Disconnected from document-manager"; });
}

bool DocumentManagerProxy::restartServicesAfterReset()
{
    return m_manager.restartServicesAfterReset();
}

} // namespace detail
