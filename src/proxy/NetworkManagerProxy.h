#pragma once

#include <QObject>

namespace libnetworkmanager::detail {
class NetworkManager;
}

namespace detail {

// The service's way to the network manager: forwards to the client library's singleton, which
// sends every call even while the network manager is away (the bus answers for it).
class NetworkManagerProxy : public QObject {
    Q_OBJECT
public:
    explicit NetworkManagerProxy(QObject* parent = nullptr);

    bool checkHostName();
    bool registerWifiBySsid(const QString& ssid, const QString& passphrase);
    bool forgetWifi(const QString& ssid);
    bool setLockRegion(bool locked);
    // mode: ls::manualKey or ls::dhcpKey.
    bool configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
        const QString& gateway, const QString& nameserver);
signals:
    void connected();

private:
    libnetworkmanager::detail::NetworkManager& m_manager;
};

} // namespace detail
