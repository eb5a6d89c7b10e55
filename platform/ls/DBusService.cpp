#include "DBusService.h"

#include "ErrorId.h"
#include "Keys.h"
#include "ResultId.h"
#include "ServiceId.h"
#include "libcorvane/DBusArgumentUnpack.h"
#include "libcorvane/LogPrefix.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace {
CM_LOGGING_CATEGORY(lc, "DBusService")

const QString objectPath = QStringLiteral("/");
const QString processMethod = QStringLiteral("process");
const QString notificationSignal = QStringLiteral("notification");

// libdbus refuses a message whose containers (arrays, dictionary entries, structures, variants)
// nest deeper than this, counted over the whole message; such a call never gets its answer.
constexpr int maximumMessageDepth = 64;

// `depth` is the number of containers around `value` on the wire: a map value sits in an array, a
// dictionary entry and a variant; a list item in an array and a variant.
bool marshallable(const QVariant& value, int depth)
{
    if (depth > maximumMessageDepth || !value.isValid()) {
        return false;
    }
    const int type = value.userType();
    if (type == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            if (!marshallable(it.value(), depth + 3)) {
                return false;
            }
        }
        return true;
    }
    if (type == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        for (const QVariant& item : list) {
            if (!marshallable(item, depth + 2)) {
                return false;
            }
        }
        return true;
    }
    if (type == qMetaTypeId<QDBusVariant>()) {
        return marshallable(value.value<QDBusVariant>().variant(), depth + 1);
    }
    const char* signature = QDBusMetaType::typeToSignature(type);
    if (!signature) {
        return false;
    }
    // Arrays and other containers of a fixed type ("as", "ay") open one more level.
    return signature[0] == 'a' || signature[0] == '(' ? depth < maximumMessageDepth : true;
}
} // namespace

namespace ls {

DBusService::DBusService(const QString& serviceId, QObject* parent)
    : QObject(parent)
    , m_serviceId(serviceId)
    , m_busName(busNameFor(serviceId))
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        LOG_ERROR(lc) << "no system bus; notifications of" << m_busName << "will not arrive";
        return;
    }
    // Matching on the bus name follows the peer across restarts (the bus tracks its owner).
    if (!bus.connect(m_busName, objectPath, m_busName, notificationSignal, QStringLiteral("a{sv}"), this,
            SLOT(onNotification(QVariantMap)))) {
        LOG_ERROR(lc) << "subscribing to notifications of" << m_busName << "failed:" << bus.lastError().message();
    }
}

QString DBusService::busNameFor(const QString& serviceId)
{
    if (serviceId == ServiceId::ConfigManager) {
        return QStringLiteral("com.corvanebraille.ConfigurationManager");
    }
    return QStringLiteral("com.corvanebraille.") + serviceId;
}

QString DBusService::serviceId() const
{
    return m_serviceId;
}

QString DBusService::busName() const
{
    return m_busName;
}

int DBusService::timeout() const
{
    return m_timeout.load();
}

void DBusService::setTimeout(int milliseconds)
{
    m_timeout.store(milliseconds > 0 ? milliseconds : defaultTimeout);
}

QVariantMap DBusService::process(const QVariantMap& request) const
{
    if (!isMarshallable(request)) {
        LOG_ERROR(lc) << "request for" << m_busName << "holds a value D-Bus cannot carry";
        return failure(ErrorId::InvalidValue);
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        LOG_ERROR(lc) << "no system bus to reach" << m_busName;
        return failure(ErrorId::ServiceUnavailable);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, objectPath, m_busName, processMethod);
    call << request;
    // Block without running the event loop: no other work of this thread runs inside the call.
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeout.load());
    if (reply.type() != QDBusMessage::ReplyMessage) {
        LOG_FAILED(lc) << "calling" << m_busName << "failed:" << reply.errorName() << reply.errorMessage();
        return failure(ErrorId::ServiceUnavailable);
    }
    const QVariantList arguments = reply.arguments();
    if (arguments.size() != 1 || reply.signature() != QLatin1String("a{sv}")) {
        LOG_ERROR(lc) << m_busName << "answered with signature" << reply.signature() << "instead of a{sv}";
        return failure(ErrorId::ServiceUnavailable);
    }
    return libcorvane::dbusArgumentUnpack(qdbus_cast<QVariantMap>(arguments.first()));
}

void DBusService::onNotification(const QVariantMap& notification)
{
    emit this->notification(libcorvane::dbusArgumentUnpack(notification));
}

bool DBusService::isMarshallable(const QVariantMap& map)
{
    return marshallable(map, 0);
}

QVariantMap DBusService::failure(const QString& errorId) const
{
    return { { resultIdKey, ResultId::Failure }, { errorIdKey, errorId } };
}

} // namespace ls
