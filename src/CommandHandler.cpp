#include "CommandHandler.h"

#include "libcorvane/LogPrefix.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"

CommandHandler::CommandHandler(const QString& commandId, const QString& notificationId, bool tracksSender,
    const QLoggingCategory& category, QObject* parent)
    : QObject(parent)
    , m_commandId(commandId)
    , m_notificationId(notificationId)
    , m_tracksSender(tracksSender)
    , m_category(category)
    , m_currentSender(ls::ServiceId::ConfigManager)
{
}

QString CommandHandler::commandId() const
{
    return m_commandId;
}

QVariantMap CommandHandler::success()
{
    return { { ls::resultIdKey, QString(ls::ResultId::Success) }, { ls::errorIdKey, QString(ls::ErrorId::Undefined) } };
}

QVariantMap CommandHandler::failure(const QString& errorId)
{
    return { { ls::resultIdKey, QString(ls::ResultId::Failure) }, { ls::errorIdKey, errorId } };
}

// Log lines of the skeleton carry the handler's own name ("Paper::process"), as if each handler
// had written them itself.
QString CommandHandler::qualifiedProcessName(const char* tag) const
{
    QString name = QString::fromLatin1(metaObject()->className()) + QStringLiteral("::process");
    if (tag) {
        name += QLatin1Char(' ') + QLatin1String(tag);
    }
    return name;
}

QVariantMap CommandHandler::rejectSubCommand(const QString& subCommand) const
{
    qCCritical(m_category).noquote() << qualifiedProcessName("ERROR:") << subCommand << "subcommand not found!";
    return failure(ls::ErrorId::InvalidSubCmd);
}

void CommandHandler::acceptSubCommand(const ls::Command& command, const QString& subCommand)
{
    if (m_tracksSender) {
        m_currentSender = command.request().value(ls::senderIdKey).toString();
    }
    qCDebug(m_category).noquote() << qualifiedProcessName(nullptr) << "process subCommand -" << subCommand;
}

void CommandHandler::emitNotification(const EnumKey& action, const QString& key, const QVariant& value) const
{
    QVariantMap map { { ls::notificationIdKey, m_notificationId }, { ls::actionIdKey, QString(action) },
        { ls::senderIdKey, m_currentSender } };
    map.insert(key, value);
    m_currentSender = ls::ServiceId::ConfigManager;
    qCDebug(m_category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO) << "Notification" << m_notificationId
                                  << "action" << QString(action) << "for" << key << value.toString();
    emit notification(map);
}

void CommandHandler::emitServiceNotification(const EnumKey& action, const QString& key, const QVariant& value) const
{
    m_currentSender = ls::ServiceId::ConfigManager;
    emitNotification(action, key, value);
}

QVariantMap CommandHandler::successWith(const QString& key, const QVariant& value)
{
    QVariantMap result = success();
    result.insert(key, value);
    return result;
}
