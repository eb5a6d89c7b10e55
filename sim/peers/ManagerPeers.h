#pragma once

#include "PeerObject.h"

// The document, network and print managers: they record each call and answer it (with a D-Bus
// error when their failure is injected). One file for the three, as they only differ in their
// interfaces.

class DocumentManagerPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.DocumentManager")
public:
    DocumentManagerPeer(const QString& root, QObject* parent = nullptr);

public slots:
    void restartServicesAfterReset();
};

class PrintManagerPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.PrintManager")
public:
    PrintManagerPeer(const QString& root, QObject* parent = nullptr);

public slots:
    void restartServicesAfterReset();
    void configureSlave();
};

class NetworkManagerPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.NetworkManager")
public:
    NetworkManagerPeer(const QString& root, QObject* parent = nullptr);

public slots:
    void checkHostName();
    void registerWifiBySsid(const QString& ssid, const QString& passphrase);
    void forgetWifi(const QString& ssid);
    void setLockRegion(bool locked);
    void configureActiveNetwork(const QString& mode, const QString& address, const QString& netmask,
        const QString& gateway, const QString& nameserver);
};
