#pragma once

#include "PrivateBus.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

// The simulated peer services (sim-peer) on the test's bus and root. Each role is started and
// waited for until it owns its bus name; a test can leave roles out or stop one to see the
// service without it.
class SimPeers {
public:
    static const QStringList allRoles;

    explicit SimPeers(const QString& rootPath);
    ~SimPeers();

    // Starts the roles (all by default) and waits until each is on the bus.
    bool start(const QStringList& roles = allRoles);
    void stop(const QString& role);
    bool isRunning(const QString& role) const;

    static QString executable();

private:
    QString m_rootPath;
    QMap<QString, std::shared_ptr<ChildProcess>> m_processes;
};
