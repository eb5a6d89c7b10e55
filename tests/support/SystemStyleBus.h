#pragma once

#include "PrivateBus.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A dbus-daemon with the machine's own system bus configuration (its default policy: nobody
// owns or calls a name unless a policy file allows it; EXTERNAL authentication) plus one policy
// file, the way the system bus includes system.d. It listens on a socket of its own, includes
// nothing else of the machine, runs as the user who starts it, and is exported as the system bus
// (DBUS_SYSTEM_BUS_ADDRESS) of this process and of the processes it starts.
class SystemStyleBus {
public:
    explicit SystemStyleBus(const QString& policyFile);

    bool isValid() const { return m_bus && m_bus->isValid(); }
    QString error() const { return m_bus ? m_bus->error() : m_error; }

    static QString systemConfiguration();

private:
    bool writeConfiguration(const QString& target, const QString& policyFile);

    QTemporaryDir m_dir;
    QString m_error;
    std::unique_ptr<PrivateBus> m_bus;
};
