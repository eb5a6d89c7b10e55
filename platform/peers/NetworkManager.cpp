#include "NetworkManager.h"

#include "ls/ServiceId.h"

namespace libnetworkmanager {
namespace detail {

    NetworkManager::NetworkManager(QObject* parent)
        : PeerClient(ls::ServiceId::NetworkManager, parent)
    {
    }

    bool NetworkManager::checkHostName()
    {
        return call(QStringLiteral("checkHostName"));
    }

    bool NetworkManager::registerWifiBySsid(const QString& ssid, const QString& passphrase)
    {
        return call(QStringLiteral("registerWifiBySsid"), { ssid, passphrase });
    }

    bool NetworkManager::forgetWifi(const QString& ssid)
    {
        return call(QStringLiteral("forgetWifi"), { ssid });
    }

    bool NetworkManager::setLockRegion(bool locked)
    {
        return call(QStringLiteral("setLockRegion"), { locked });
    }

    bool NetworkManager::configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
        const QString& gateway, const QString& nameserver)
    {
        return call(QStringLiteral("configureActiveNetwork"), { mode, address, netmask, gateway, nameserver });
    }

} // namespace detail
} // namespace libnetworkmanager
