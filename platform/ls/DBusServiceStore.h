#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

namespace ls {

class DBusService;

// The process-wide register of peer services. A service is registered once by its
// ls::ServiceId text; its DBusService is created in the registering thread (where its
// notifications are then delivered), has no parent and lives until the process ends.
class DBusServiceStore {
public:
    static DBusServiceStore& instance();

    // Creates the service's client unless it exists; returns it, or null for a text that is
    // not an ls::ServiceId.
    DBusService* registerService(const QString& serviceId);

    // The registered client, or null.
    DBusService* getService(const QString& serviceId) const;

private:
    DBusServiceStore() = default;

    mutable QMutex m_mutex;
    QHash<QString, DBusService*> m_services;
};

} // namespace ls
