#include "ConfigurationManagerAdaptor.h"

#include "ConfigurationManager.h"
#include "WireTypes.h"
#include "libcorvane/LogPrefix.h"
#include "property/manager/CatalogsManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QMetaClassInfo>

CM_LOGGING_CATEGORY(lcAdaptor, "ConfigurationManagerAdaptor")

ConfigurationManagerAdaptor::ConfigurationManagerAdaptor(ConfigurationManager* manager)
    : QDBusAbstractAdaptor(manager)
    , m_manager(manager)
{
    setAutoRelaySignals(true);

    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        LOG_ERROR(lcAdaptor) << "Unable to connect to system-bus!";
        return;
    }
    if (!bus.registerObject(objectPath(), manager, QDBusConnection::ExportAdaptors)) {
        LOG_ERROR(lcAdaptor) << "Unable to register object on system-bus!";
        return;
    }
    if (bus.registerService(serviceName())) {
        LOG_DEBUG(lcAdaptor) << "Successfully registered on DBus:" << serviceName();
        lcm::registerPropList();
        qDBusRegisterMetaType<QPair<QString, QVariantMap>>();
        qDBusRegisterMetaType<QList<QPair<QString, QVariantMap>>>();
        qDBusRegisterMetaType<QVariantMap>();
        qDBusRegisterMetaType<QVariantList>();
        return;
    }
    const QString message = bus.lastError().message();
    LOG_ERROR(lcAdaptor) << QStringLiteral("Unable to register Service: ")
            + (message.isEmpty() ? QStringLiteral("Service-name already in use.") : message);
}

const QString& ConfigurationManagerAdaptor::serviceName()
{
    static const QString name
        = QString::fromLatin1(staticMetaObject.classInfo(staticMetaObject.indexOfClassInfo("D-Bus Interface")).value());
    return name;
}

const QString& ConfigurationManagerAdaptor::notReadyError()
{
    static const QString name = serviceName() + QStringLiteral(".Error.NotReady");
    return name;
}

const QString& ConfigurationManagerAdaptor::objectPath()
{
    static const QString path = QStringLiteral("/");
    return path;
}

const QString& ConfigurationManagerAdaptor::defaultCatalog()
{
    return masterCollectionKey;
}

void ConfigurationManagerAdaptor::retire()
{
    m_retired = true;
    QDBusConnection::systemBus().unregisterObject(objectPath());
    QCoreApplication::processEvents();
}

bool ConfigurationManagerAdaptor::unavailable(const char* caller)
{
    if (manager()->isBuilt() && !m_retired) {
        return false;
    }
    qCWarning(lcAdaptor).noquote() << libcorvane::logPrefix(caller, "WARN:") << "called before the service is ready";
    if (calledFromDBus()) {
        sendErrorReply(notReadyError(), QStringLiteral("The service is starting; call again once it is ready."));
    }
    return true;
}

QVariantMap ConfigurationManagerAdaptor::outgoing(const QVariantMap& map) const
{
    const WireTypes* types = manager()->wireTypes();
    return types ? types->typed(map) : map;
}

QList<QPair<QString, QVariantMap>> ConfigurationManagerAdaptor::outgoing(
    const QList<QPair<QString, QVariantMap>>& families) const
{
    const WireTypes* types = manager()->wireTypes();
    return types ? types->typed(families) : families;
}
