#pragma once

#include "PrivateBus.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A private bus with the machine's system bus policy and authentication plus one policy file, as
// the system bus includes system.d; nothing else of the machine's configuration is used.
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
