#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

class QDBusServiceWatcher;

namespace peers {

// The D-Bus side shared by the client libraries of the peer services: the peer named by the
// ls::ServiceId text <Id> owns "com.corvanebraille.<Id>" and serves the interface of that name
// at object "/". `connected`/`disconnected` follow the peer's ownership of its name.
//
// With connection checking on (the default) a call is not sent while the peer is not on the
// bus; with it off every call is sent and the bus answers for a missing peer. Either way a
// call fails with a log line and never waits longer than timeout().
class PeerClient : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultTimeout = 5000; // ms

    explicit PeerClient(const QString& serviceId, QObject* parent = nullptr);

    QString busName() const { return m_busName; }
    bool isConnected() const;
    void setCheckConnection(bool check) { m_checkConnection = check; }
    bool checkConnection() const { return m_checkConnection; }
    void setTimeout(int milliseconds) { m_timeout = milliseconds > 0 ? milliseconds : defaultTimeout; }

signals:
    void connected();
    void disconnected();

protected:
    // Calls `method` and waits for its (empty) answer; false when it cannot be sent or fails.
    bool call(const QString& method, const QVariantList& arguments = {}) const;
    // Sends the call and returns at once; a failure is logged when its answer arrives.
    void send(const QString& method, const QVariantList& arguments = {});
    // Connects a signal of the peer (no arguments) to a slot or signal of this object.
    void connectPeerSignal(const QString& name, const char* slot);

private:
    bool mayCall(const QString& method) const;

    QString m_busName;
    bool m_checkConnection = true;
    int m_timeout = defaultTimeout;
    QDBusServiceWatcher* m_watcher = nullptr;
};

} // namespace peers
