#include "StateHandler.h"

#include "libcorvane/LogPrefix.h"
#include "ls/DBusService.h"
#include "ls/DBusServiceStore.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"
#include "ls/StateHandlerCmdId.h"
#include "ls/StateHandlerNotifId.h"
#include "ls/StateId.h"

namespace {
CM_LOGGING_CATEGORY(lc, "StateHandler")

bool succeeded(const QVariantMap& result)
{
    return result.value(ls::resultIdKey).toString() == ls::ResultId::Success;
}
} // namespace

namespace detail {

StateHandler::StateHandler(QObject* parent)
    : QObject(parent)
{
    ls::DBusServiceStore::instance().registerService(ls::ServiceId::StateHandler);
    connect(ls::DBusServiceStore::instance().getService(ls::ServiceId::StateHandler), &ls::DBusService::notification,
        this, &StateHandler::onNotification);
}

QVariantMap StateHandler::send(const QVariantMap& command) const
{
    QVariantMap request = command;
    request.insert(ls::senderIdKey, ls::ServiceId::PrintManager);
    return ls::DBusServiceStore::instance().getService(ls::ServiceId::StateHandler)->process(request);
}

QString StateHandler::getState() const
{
    const QVariantMap result = send({ { ls::commandIdKey, ls::StateHandlerCmdId::GetState } });
    if (!result.contains(ls::resultIdKey) || !result.contains(ls::errorIdKey)) {
        LOG_ERROR(lc) << "invalid result!";
        return ls::StateId::Undefined;
    }
    if (!result.contains(ls::stateIdKey)) {
        LOG_ERROR(lc) << ls::stateIdKey << "not found!";
        return ls::StateId::Undefined;
    }
    const QString state = result.value(ls::stateIdKey).toString();
    if (!ls::StateId::meta.contains(state)) {
        LOG_ERROR(lc) << "invalid state" << state;
        return ls::StateId::Undefined;
    }
    return state;
}

bool StateHandler::setState(const QString& state)
{
    if (succeeded(send({ { ls::commandIdKey, ls::StateHandlerCmdId::SetState }, { ls::stateIdKey, state } }))) {
        return true;
    }
    LOG_FAILED(lc) << "Processing SetState failed.";
    return false;
}

bool StateHandler::goToPrevious()
{
    if (succeeded(send({ { ls::commandIdKey, ls::StateHandlerCmdId::GoToPrevious } }))) {
        return true;
    }
    LOG_FAILED(lc) << "Processing GoToPrevious failed.";
    return false;
}

void StateHandler::onNotification(const QVariantMap& notification)
{
    if (!notification.contains(ls::notificationIdKey) || !notification.contains(ls::actionIdKey)
        || !notification.contains(ls::senderIdKey)) {
        LOG_ERROR(lc) << "Invalid notification!";
        return;
    }
    if (notification.value(ls::notificationIdKey).toString() != ls::StateHandlerNotifId::StateChange) {
        return;
    }
    const QString state = notification.value(ls::stateIdKey).toString();
    if (!ls::StateId::meta.contains(state)) {
        LOG_ERROR(lc) << "Invalid state received!" << state;
        return;
    }
    emit stateChange(state);
}

} // namespace detail
