#pragma once

#include "PrivateBus.h"

#include <QString>
#include <QTemporaryDir>

// A dbus-daemon with the machine's own system bus configuration (its default policy: nobody
// owns or calls a name unless a policy file allows it; EXTERNAL authentication) plus one policy
// file, the way the system bus includes system.d. It listens on a socket of its own, includes
// nothing else of the machine, runs as the user who starts it, and is exported as the system bus
// (DBUS_SYSTEM_BUS_ADDRESS) of this process and of the processes it starts.
class SystemStyleBus {
public:
    explicit SystemStyleBus(const QString& policyFile);
    ~SystemStyleBus();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString address() const { return m_address; }

    static QString systemConfiguration();

private:
    bool writeConfiguration(const QString& policyFile, const QString& socket);

    QTemporaryDir m_dir;
    ChildProcess m_daemon;
    QString m_address;
    QString m_error;
};
