#pragma once

#include "ls/EnumKey.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QWaitCondition>

namespace detail {

// The wait for the user's answer to an error this service raised. A waiter sets errorPending
// under errorMutex before asking the error handler and waits on errorWaitCondition while it
// stays set; ErrorHandler clears it and wakes all waiters when the answer arrives.
extern QMutex errorMutex;
extern QWaitCondition errorWaitCondition;
extern bool errorPending;

// Client of the error handler service. It lives in the thread of an ErrorHandlerThread so that
// answers arrive while the main thread blocks in the wait above; handleError() may be called
// from any thread.
class ErrorHandler : public QObject {
    Q_OBJECT
public:
    explicit ErrorHandler(QObject* parent = nullptr);

    // Asks the error handler service to handle `errorId`; false when it did not accept.
    bool handleError(const QString& errorId) const;
    // The answer last received for `errorId`, or ls::ErrorReturn::Undefined.
    QString getErrorReturn(const QString& errorId) const;

public slots:
    void onNotification(const QVariantMap& notification);

signals:
    // The error return code of an answer.
    void errorHandled(const QString& errorReturnCode);

private:
    mutable QMutex m_mutex; // guards the answer, written in this object's thread
    QString m_errorId;
    QString m_errorReturnCode;
};

} // namespace detail
