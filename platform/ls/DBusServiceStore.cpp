#include "DBusServiceStore.h"

#include "DBusService.h"
#include "ServiceId.h"
#include "libcorvane/LogPrefix.h"

#include <QMutexLocker>

namespace {
CM_LOGGING_CATEGORY(lc, "DBusServiceStore")
}

namespace ls {

DBusServiceStore& DBusServiceStore::instance()
{
    // Never destroyed: peers outlive the in-process restart of the service.
    static auto* store = new DBusServiceStore();
    return *store;
}

DBusService* DBusServiceStore::registerService(const QString& serviceId)
{
    if (!ServiceId::meta.contains(serviceId)) {
        LOG_ERROR(lc) << "unknown service id" << serviceId;
        return nullptr;
    }
    QMutexLocker lock(&m_mutex);
    DBusService*& service = m_services[serviceId];
    if (!service) {
        service = new DBusService(serviceId);
        LOG_DEBUG(lc) << "registered" << serviceId << "as" << service->busName();
    }
    return service;
}

DBusService* DBusServiceStore::getService(const QString& serviceId) const
{
    QMutexLocker lock(&m_mutex);
    return m_services.value(serviceId, nullptr);
}

} // namespace ls
