#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

// The part every simulated peer shares: its root, the call log it records into (the one the
// sim/bin tools write, under its role name) and the injected failure.
class PeerObject : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    PeerObject(const QString& role, const QString& root, QObject* parent = nullptr);

    QString role() const { return m_role; }

protected:
    // Appends "<role> TAB <fields...>" to var/log/sim/calls.log.
    void record(const QStringList& fields) const;
    // A file of var/lib/sim/<role>/; empty when it does not exist.
    QString stateFile(const QString& name) const;
    // True (and a D-Bus error is the answer) when var/lib/sim/fail/<role> exists.
    bool failInjected();
    QString machinePathUnderRoot(const QString& path) const;

private:
    QString m_role;
    QString m_root;
};
