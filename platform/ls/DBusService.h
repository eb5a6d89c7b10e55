#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <atomic>

namespace ls {

// Client of one peer service of the embosser on the D-Bus system bus: its method
// `process(a{sv}) -> a{sv}` and its signal `notification(a{sv})`.
//
// Naming rule: the peer named by the ls::ServiceId text <Id> owns the bus name
// "com.corvanebraille.<Id>" and serves the interface of the same name at object "/"
// (ls::ServiceId::ErrorHandler -> "com.corvanebraille.ErrorHandler"). The one exception is this
// service itself, ls::ServiceId::ConfigManager, whose name is "com.corvanebraille.ConfigurationManager".
//
// process() may be called from any thread; notifications are delivered in the thread the object
// lives in. Calls never wait longer than timeout().
class DBusService : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultTimeout = 5000; // ms

    explicit DBusService(const QString& serviceId, QObject* parent = nullptr);

    static QString busNameFor(const QString& serviceId);

    QString serviceId() const;
    QString busName() const;

    // Sends a command map to the peer and returns its answer as plain variants. When the peer
    // cannot be reached, fails or answers with something else than one map, the result is
    // {resultId: Failure, errorId: ServiceUnavailable}; a request that D-Bus cannot carry (see
    // isMarshallable) is not sent and gives {resultId: Failure, errorId: InvalidValue}.
    QVariantMap process(const QVariantMap& request) const;

    // True when every value of `map`, at any depth, is valid and of a type D-Bus can carry, and
    // the message's containers nest no deeper than libdbus allows (64 levels; each map level
    // takes three, each list level two). libdbus aborts the process on a value it cannot
    // marshal and a too deeply nested call never gets an answer, so anything built from outside
    // input is checked first.
    static bool isMarshallable(const QVariantMap& map);

    int timeout() const;
    void setTimeout(int milliseconds);

signals:
    // A notification of the peer, unpacked to plain variants.
    void notification(const QVariantMap& notification);

private slots:
    void onNotification(const QVariantMap& notification);

private:
    QVariantMap failure(const QString& errorId) const;

    QString m_serviceId;
    QString m_busName;
    std::atomic<int> m_timeout { defaultTimeout };
};

} // namespace ls
