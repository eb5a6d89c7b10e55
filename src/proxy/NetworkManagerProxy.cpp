#include "NetworkManagerProxy.h"

#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "peers/NetworkManager.h"

namespace {
CM_LOGGING_CATEGORY(lc, "NetworkManagerProxy")
}

namespace detail {

NetworkManagerProxy::NetworkManagerProxy(QObject* parent)
    : QObject(parent)
    , m_manager(libcorvane::Singleton<libnetworkmanager::detail::NetworkManager>::instance())
{
    m_manager.setCheckConnection(false);
    connect(&m_manager, &libnetworkmanager::detail::NetworkManager::connected, this, [this]() {
        LOG_DEBUG(lc) << "Connected tot network-manager";
        emit connected();
    });
    connect(&m_manager, &libnetworkmanager::detail::NetworkManager::disconnected, this,
        []() { LOG_DEBUG(lc) << "Disconnected from network-manager"; });
}

bool NetworkManagerProxy::checkHostName()
{
    return m_manager.checkHostName();
}

bool NetworkManagerProxy::registerWifiBySsid(const QString& ssid, const QString& passphrase)
{
    return m_manager.registerWifiBySsid(ssid, passphrase);
}

bool NetworkManagerProxy::forgetWifi(const QString& ssid)
{
    return m_manager.forgetWifi(ssid);
}

bool NetworkManagerProxy::setLockRegion(bool locked)
{
    return m_manager.setLockRegion(locked);
}

bool NetworkManagerProxy::configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
    const QString& gateway, const QString& nameserver)
{
    return m_manager.configureActiveNetwork(mode, address, netmask, gateway, nameserver);
}

} // namespace detail
