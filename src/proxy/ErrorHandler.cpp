#include "ErrorHandler.h"

#include "libcorvane/LogPrefix.h"
#include "ls/DBusService.h"
#include "ls/DBusServiceStore.h"
#include "ls/ErrorHandlerCmdId.h"
#include "ls/ErrorHandlerNotifId.h"
#include "ls/ErrorReturn.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"

#include <QMutexLocker>

namespace {
CM_LOGGING_CATEGORY(lc, "ErrorHandler")
}

namespace detail {

QMutex errorMutex;
QWaitCondition errorWaitCondition;
bool errorPending = false;

ErrorHandler::ErrorHandler(QObject* parent)
    : QObject(parent)
{
    ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
    ls::DBusService* service = ls::DBusServiceStore::instance().getService(ls::ServiceId::ErrorHandler);
    connect(service, &ls::DBusService::notification, this, &ErrorHandler::onNotification);
}

bool ErrorHandler::handleError(const QString& errorId) const
{
    ls::DBusService* service = ls::DBusServiceStore::instance().getService(ls::ServiceId::ErrorHandler);
    const QVariantMap result = service->process({ { ls::commandIdKey, ls::ErrorHandlerCmdId::HandleError },
        { ls::errorIdKey, errorId }, { ls::senderIdKey, ls::ServiceId::ConfigManager } });
    if (result.contains(ls::resultIdKey) && result.contains(ls::errorIdKey)
        && result.value(ls::resultIdKey).toString() == ls::ResultId::Success) {
        return true;
    }
    LOG_FAILED(lc) << "Processing HandleError for" << errorId << "failed";
    return false;
}

QString ErrorHandler::getErrorReturn(const QString& errorId) const
{
    QMutexLocker lock(&m_mutex);
    return errorId == m_errorId ? m_errorReturnCode : QString(ls::ErrorReturn::Undefined);
}

void ErrorHandler::onNotification(const QVariantMap& notification)
{
    if (!notification.contains(ls::notificationIdKey) || !notification.contains(ls::actionIdKey)
        || !notification.contains(ls::senderIdKey)) {
        LOG_ERROR(lc) << "Invalid notification!";
        return;
    }
    if (notification.value(ls::notificationIdKey).toString() != ls::ErrorHandlerNotifId::ErrorChange) {
        return;
    }
    const QString code = notification.value(ls::errorReturnCodeKey).toString();
    {
        QMutexLocker lock(&m_mutex);
        m_errorId = notification.value(ls::errorIdKey).toString();
        m_errorReturnCode = code;
    }
    if (!ls::ErrorReturn::meta.contains(code)) {
        LOG_ERROR(lc) << "invalid error return code" << code;
        return;
    }
    // Only an answer to an error of this service ends its wait.
    if (notification.value(ls::senderIdKey).toString() == ls::ServiceId::ConfigManager) {
        QMutexLocker lock(&errorMutex);
        errorPending = false;
        errorWaitCondition.wakeAll();
    }
    emit errorHandled(code);
}

} // namespace detail
