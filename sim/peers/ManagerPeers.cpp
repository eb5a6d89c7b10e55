#include "ManagerPeers.h"

DocumentManagerPeer::DocumentManagerPeer(const QString& root, QObject* parent)
    : PeerObject("document-manager", root, parent)
{
}

void DocumentManagerPeer::restartServicesAfterReset()
{
    record({ "restartServicesAfterReset" });
    failInjected();
}

PrintManagerPeer::PrintManagerPeer(const QString& root, QObject* parent)
    : PeerObject("print-manager", root, parent)
{
}

void PrintManagerPeer::restartServicesAfterReset()
{
    record({ "restartServicesAfterReset" });
    failInjected();
}

void PrintManagerPeer::configureSlave()
{
    record({ "configureSlave" });
    failInjected();
}

NetworkManagerPeer::NetworkManagerPeer(const QString& root, QObject* parent)
    : PeerObject("network-manager", root, parent)
{
}

void NetworkManagerPeer::checkHostName()
{
    record({ "checkHostName" });
    failInjected();
}

void NetworkManagerPeer::registerWifiBySsid(const QString& ssid, const QString& passphrase)
{
    record({ "registerWifiBySsid", ssid, passphrase });
    failInjected();
}

void NetworkManagerPeer::forgetWifi(const QString& ssid)
{
    record({ "forgetWifi", ssid });
    failInjected();
}

void NetworkManagerPeer::setLockRegion(bool locked)
{
    record({ "setLockRegion", locked ? "true" : "false" });
    failInjected();
}

void NetworkManagerPeer::configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
    const QString& gateway, const QString& nameserver)
{
    record({ "configureActiveNetwork", mode, address, netmask, gateway, nameserver });
    failInjected();
}
