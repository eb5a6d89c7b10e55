#include "PeerClient.h"

#include "libcorvane/LogPrefix.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {
CM_LOGGING_CATEGORY(lc, "PeerClient")
const QString objectPath = QStringLiteral("/");
} // namespace

namespace peers {

PeerClient::PeerClient(const QString& serviceId, QObject* parent)
    : QObject(parent)
    , m_busName(QStringLiteral("com.corvanebraille.") + serviceId)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        LOG_ERROR(lc) << "no system bus;" << m_busName << "cannot be reached";
        return;
    }
    m_watcher = new QDBusServiceWatcher(
        m_busName, bus, QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &PeerClient::connected);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &PeerClient::disconnected);
}

bool PeerClient::isConnected() const
{
    QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(m_busName).value();
}

bool PeerClient::mayCall(const QString& method) const
{
    if (!QDBusConnection::systemBus().isConnected()) {
        LOG_FAILED(lc) << method << "not sent to" << m_busName << ": no system bus";
        return false;
    }
    if (m_checkConnection && !isConnected()) {
        LOG_FAILED(lc) << method << "not sent:" << m_busName << "is not connected";
        return false;
    }
    return true;
}

bool PeerClient::call(const QString& method, const QVariantList& arguments) const
{
    if (!mayCall(method)) {
        return false;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(m_busName, objectPath, m_busName, method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, m_timeout);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        LOG_FAILED(lc) << "calling" << method << "of" << m_busName << "failed:" << reply.errorName()
                       << reply.errorMessage();
        return false;
    }
    return true;
}

void PeerClient::send(const QString& method, const QVariantList& arguments)
{
    if (!mayCall(method)) {
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(m_busName, objectPath, m_busName, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(message, m_timeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method](QDBusPendingCallWatcher* call) {
        if (call->isError()) {
            LOG_FAILED(lc) << "calling" << method << "of" << m_busName << "failed:" << call->error().name()
                           << call->error().message();
        }
        call->deleteLater();
    });
}

void PeerClient::connectPeerSignal(const QString& name, const char* slot)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected() && !bus.connect(m_busName, objectPath, m_busName, name, this, slot)) {
        LOG_ERROR(lc) << "subscribing to" << name << "of" << m_busName << "failed:" << bus.lastError().message();
    }
}

} // namespace peers
