#pragma once

#include "PeerClient.h"

namespace libnetworkmanager {
namespace detail {

    // Client of the network manager service. Each call waits for the service's answer (bounded).
    class NetworkManager : public peers::PeerClient {
        Q_OBJECT
    public:
        explicit NetworkManager(QObject* parent = nullptr);

        bool checkHostName();
        bool registerWifiBySsid(const QString& ssid, const QString& passphrase);
        bool forgetWifi(const QString& ssid);
        bool setLockRegion(bool locked);
        // mode: ls::manualKey or ls::dhcpKey.
        bool configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
            const QString& gateway, const QString& nameserver);
    };

} // namespace detail
} // namespace libnetworkmanager
