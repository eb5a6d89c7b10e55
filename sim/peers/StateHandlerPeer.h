#pragma once

#include "PeerObject.h"

#include <QStack>
#include <QVariantMap>

// The state handler: keeps the embosser's state (at first "Idle") and the states before it,
// answers GetState, SetState and GoToPrevious, and announces every change with StateChange.
class StateHandlerPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.StateHandler")
public:
    StateHandlerPeer(const QString& root, QObject* parent = nullptr);

public slots:
    QVariantMap process(const QVariantMap& request);

signals:
    void notification(const QVariantMap& notification);

private:
    void change(const QString& state, const QString& action);

    QString m_state;
    QStack<QString> m_previous;
};
