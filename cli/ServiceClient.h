#pragma once

#include "Introspection.h"

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QDBusError;
class QObject;

// The bus side of cmctl: one connection to the system bus (or the bus of --address), the
// `process` request with the service's result map, direct method calls typed by the caller, the
// service's own introspection, and the `notification` signal. A failed call leaves its message
// and exit status behind: 1 when the service answered a failure, 3 when it could not be reached.
class ServiceClient {
public:
    // address: a D-Bus address, or empty for the system bus (DBUS_SYSTEM_BUS_ADDRESS).
    ServiceClient(const QString& address, const QString& senderId);
    ~ServiceClient();

    // Sends one request; false unless the result's id is Success. The result (plain variants at
    // any depth) is kept also on failure, so that callers can show what the service added.
    bool process(const QString& command, const QString& subCommand, const QVariantMap& arguments, QVariantMap& result);
    // Calls a direct method with arguments already of their D-Bus types; the answers unpacked.
    bool call(const QString& method, const QVariantList& arguments, QVariantList& answers);
    // The methods the running service declares; empty (and an error) when it cannot be asked.
    const Introspection& introspection();
    // Whether the service owns its name on the bus.
    bool isRunning();
    // Connects `notification(a{sv})` to a slot taking a QVariantMap (still packed).
    bool subscribe(QObject* receiver, const char* slot);

    QString error() const { return m_error; }
    int errorStatus() const { return m_errorStatus; }
    QString senderId() const { return m_senderId; }

    static const QString& service();
    static QVariant unpack(const QVariant& value);

private:
    bool connected();
    void failWith(const QDBusError& error);
    void fail(int status, const QString& message);

    QString m_address;
    QString m_senderId;
    QDBusConnection m_connection;
    Introspection m_introspection;
    bool m_introspected = false;
    QString m_error;
    int m_errorStatus = 0;
};
