#include "StateHandlerPeer.h"

#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"
#include "ls/StateHandlerCmdId.h"
#include "ls/StateHandlerNotifId.h"
#include "ls/StateId.h"

StateHandlerPeer::StateHandlerPeer(const QString& root, QObject* parent)
    : PeerObject("state-handler", root, parent)
    , m_state(ls::StateId::Idle)
{
}

QVariantMap StateHandlerPeer::process(const QVariantMap& request)
{
    const QString command = request.value(ls::commandIdKey).toString();
    const QString state = request.value(ls::stateIdKey).toString();
    record({ command, state, request.value(ls::senderIdKey).toString() });
    if (failInjected()) {
        return {};
    }
    const QVariantMap success { { ls::resultIdKey, ls::ResultId::Success },
        { ls::errorIdKey, ls::ErrorId::Undefined } };
    if (command == ls::StateHandlerCmdId::GetState) {
        QVariantMap result = success;
        result.insert(ls::stateIdKey, m_state);
        return result;
    }
    if (command == ls::StateHandlerCmdId::SetState && ls::StateId::meta.contains(state)) {
        m_previous.push(m_state);
        change(state, command);
        return success;
    }
    if (command == ls::StateHandlerCmdId::GoToPrevious && !m_previous.isEmpty()) {
        change(m_previous.pop(), command);
        return success;
    }
    return { { ls::resultIdKey, ls::ResultId::Failure }, { ls::errorIdKey, ls::ErrorId::InvalidValue } };
}

void StateHandlerPeer::change(const QString& state, const QString& action)
{
    m_state = state;
    emit notification({ { ls::notificationIdKey, ls::StateHandlerNotifId::StateChange }, { ls::actionIdKey, action },
        { ls::senderIdKey, ls::ServiceId::StateHandler }, { ls::stateIdKey, state } });
}
