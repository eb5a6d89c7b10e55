#pragma once

#include "PeerObject.h"

#include <QVariantMap>

// The error handler: accepts HandleError at once and sends the user's answer later as an
// ErrorChange notification to the sender of the error. The answer is scripted in
// var/lib/sim/error-handler/answer: "CODE [DELAY_MS]" (default "Continue 100"; CODE is sent as it
// is, so an unknown code can be tried) or "none" for no answer at all.
class ErrorHandlerPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.ErrorHandler")
public:
    ErrorHandlerPeer(const QString& root, QObject* parent = nullptr);

public slots:
    QVariantMap process(const QVariantMap& request);

signals:
    void notification(const QVariantMap& notification);
};
