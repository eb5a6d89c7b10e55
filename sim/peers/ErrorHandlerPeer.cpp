#include "ErrorHandlerPeer.h"

#include "ls/ErrorHandlerCmdId.h"
#include "ls/ErrorHandlerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"

#include <QTimer>

ErrorHandlerPeer::ErrorHandlerPeer(const QString& root, QObject* parent)
    : PeerObject("error-handler", root, parent)
{
}

QVariantMap ErrorHandlerPeer::process(const QVariantMap& request)
{
    const QString command = request.value(ls::commandIdKey).toString();
    const QString errorId = request.value(ls::errorIdKey).toString();
    const QString sender = request.value(ls::senderIdKey).toString();
    record({ command, errorId, sender });
    if (failInjected()) {
        return {};
    }
    if (command != ls::ErrorHandlerCmdId::HandleError || errorId.isEmpty() || sender.isEmpty()) {
        return { { ls::resultIdKey, ls::ResultId::Failure }, { ls::errorIdKey, ls::ErrorId::InvalidCmd } };
    }
    QStringList answer = stateFile("answer").split(' ', Qt::SkipEmptyParts);
    if (answer.isEmpty()) {
        answer = QStringList { "Continue", "100" };
    }
    if (answer.first() != "none") {
        const QString code = answer.first();
        const int delay = answer.value(1, "100").toInt();
        QTimer::singleShot(delay, this, [this, code, errorId, sender]() {
            record({ "ErrorChange", errorId, code, sender });
            emit notification({ { ls::notificationIdKey, ls::ErrorHandlerNotifId::ErrorChange },
                { ls::actionIdKey, ls::ErrorHandlerCmdId::HandleError }, { ls::senderIdKey, sender },
                { ls::errorIdKey, errorId }, { ls::errorReturnCodeKey, code } });
        });
    }
    return { { ls::resultIdKey, ls::ResultId::Success }, { ls::errorIdKey, ls::ErrorId::Undefined } };
}
