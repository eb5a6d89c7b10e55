#include "ServiceClient.h"

#include "ExitStatus.h"
#include "libcorvane/DBusArgumentUnpack.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>

namespace {
const QString objectPath = QStringLiteral("/");
const QString connectionName = QStringLiteral("cmctl");
// Long enough for the backup and restore scripts the service waits for.
constexpr int callTimeoutMs = 120000;
} // namespace

ServiceClient::ServiceClient(const QString& address, const QString& senderId)
    : m_address(address)
    , m_senderId(senderId)
    , m_connection(
          address.isEmpty() ? QDBusConnection::systemBus() : QDBusConnection::connectToBus(address, connectionName))
{
}

ServiceClient::~ServiceClient()
{
    if (!m_address.isEmpty()) {
        QDBusConnection::disconnectFromBus(connectionName);
    }
}

const QString& ServiceClient::service()
{
    static const QString name = QStringLiteral("com.corvanebraille.ConfigurationManager");
    return name;
}

QVariant ServiceClient::unpack(const QVariant& value)
{
    return libcorvane::dbusArgumentUnpack({ { QString(), value } }).value(QString());
}

bool ServiceClient::connected()
{
    if (m_connection.isConnected()) {
        return true;
    }
    const QString bus = m_address.isEmpty() ? QStringLiteral("the system bus") : m_address;
    fail(ExitStatus::Unreachable,
        QStringLiteral("cannot connect to %1: %2").arg(bus, m_connection.lastError().message()));
    return false;
}

void ServiceClient::fail(int status, const QString& message)
{
    m_errorStatus = status;
    m_error = message;
}

void ServiceClient::failWith(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
    case QDBusError::AccessDenied:
        fail(ExitStatus::Unreachable, QStringLiteral("%1 cannot be reached: %2").arg(service(), error.message()));
        return;
    default:
        fail(ExitStatus::Refused, QStringLiteral("%1: %2").arg(error.name(), error.message()));
    }
}

bool ServiceClient::call(const QString& method, const QVariantList& arguments, QVariantList& answers)
{
    answers.clear();
    if (!connected()) {
        return false;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(service(), objectPath, service(), method);
    message.setArguments(arguments);
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failWith(QDBusError(reply));
        return false;
    }
    for (const QVariant& answer : reply.arguments()) {
        answers.append(unpack(answer));
    }
    return true;
}

bool ServiceClient::process(
    const QString& command, const QString& subCommand, const QVariantMap& arguments, QVariantMap& result)
{
    QVariantMap request = arguments;
    request.insert(ls::commandIdKey, command);
    request.insert(ls::subCommandIdKey, subCommand);
    request.insert(ls::senderIdKey, m_senderId);
    QVariantList answers;
    result.clear();
    if (!call(QStringLiteral("process"), { request }, answers)) {
        return false;
    }
    result = answers.value(0).toMap();
    if (result.value(ls::resultIdKey).toString() == ls::ResultId::Success) {
        return true;
    }
    const QString errorId = result.value(ls::errorIdKey).toString();
    fail(ExitStatus::Refused,
        QStringLiteral("%1 %2 failed: %3")
            .arg(command, subCommand, errorId.isEmpty() ? ls::ErrorId::Undefined : errorId));
    return false;
}

const Introspection& ServiceClient::introspection()
{
    if (m_introspected || !connected()) {
        return m_introspection;
    }
    const QDBusMessage message = QDBusMessage::createMethodCall(
        service(), objectPath, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failWith(QDBusError(reply));
    } else if (!m_introspection.parse(reply.arguments().value(0).toString(), service())) {
        fail(ExitStatus::Refused, QStringLiteral("%1 does not introspect its interface").arg(service()));
    } else {
        m_introspected = true;
    }
    return m_introspection;
}

bool ServiceClient::isRunning()
{
    if (!connected()) {
        return false;
    }
    if (!m_connection.interface()->isServiceRegistered(service()).value()) {
        fail(ExitStatus::Unreachable, QStringLiteral("%1 is not running on this bus").arg(service()));
        return false;
    }
    return true;
}

bool ServiceClient::subscribe(QObject* receiver, const char* slot)
{
    if (!connected()) {
        return false;
    }
    if (!m_connection.connect(service(), objectPath, service(), QStringLiteral("notification"), receiver, slot)) {
        failWith(m_connection.lastError());
        return false;
    }
    return true;
}
