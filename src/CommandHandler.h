#pragma once

#include "ls/Command.h"
#include "ls/EnumKey.h"
#include "ls/ICommand.h"
#include "ls/Keys.h"

#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

// What the seven command handlers share: the command id, the routing of a request to the
// operation its sub-command names, the current sender and the notification they emit. A handler
// derives from this class, owns a static SubCommandTable of its operations, and implements
// process() as `return dispatch(command, table, this);`.
class CommandHandler : public QObject, public ls::ICommand {
    Q_OBJECT

public:
    // An operation of a handler, selected by its sub-command id.
    template <class Handler> using Operation = QVariantMap (Handler::*)(const ls::Command&) const;

    // The process-wide, immutable map from sub-command id to operation of one handler class.
    template <class Handler> class SubCommandTable {
    public:
        SubCommandTable(std::initializer_list<std::pair<QString, Operation<Handler>>> rows)
        {
            for (const auto& row : rows) {
                m_operations.insert(row.first, row.second);
            }
        }
        Operation<Handler> find(const QString& subCommand) const { return m_operations.value(subCommand, nullptr); }
        QStringList subCommands() const { return m_operations.keys(); }

    private:
        QHash<QString, Operation<Handler>> m_operations;
    };

    // notificationId is empty for handlers that announce nothing; tracksSender is false for the
    // handlers that keep no current sender.
    CommandHandler(const QString& commandId, const QString& notificationId, bool tracksSender,
        const QLoggingCategory& category, QObject* parent);

    QString commandId() const override;

    // Builds {notification id, action, current sender} plus (key, value), hands the sender back to
    // the service itself and emits the map.
    void emitNotification(const EnumKey& action, const QString& key, const QVariant& value) const;
    // The same with the service itself as the sender: the print and SSL notifications announce
    // the machine's new state, not who asked for it.
    void emitServiceNotification(const EnumKey& action, const QString& key, const QVariant& value) const;

    // The result maps of the protocol: {resultId, errorId}, "Undefined" as the error of a success.
    static QVariantMap success();
    // success() with one result key.
    static QVariantMap successWith(const QString& key, const QVariant& value);
    static QVariantMap failure(const QString& errorId);

signals:
    void notification(QVariantMap notification) const;

protected:
    template <class Handler>
    QVariantMap dispatch(const ls::Command& command, const SubCommandTable<Handler>& table, const Handler* handler)
    {
        const QString subCommand = command.request().value(ls::subCommandIdKey).toString();
        const Operation<Handler> operation = table.find(subCommand);
        if (!operation) {
            return rejectSubCommand(subCommand);
        }
        acceptSubCommand(command, subCommand);
        return (handler->*operation)(command);
    }

    QString currentSender() const { return m_currentSender; }

private:
    QVariantMap rejectSubCommand(const QString& subCommand) const;
    void acceptSubCommand(const ls::Command& command, const QString& subCommand);
    QString qualifiedProcessName(const char* tag) const;

    const QString m_commandId;
    const QString m_notificationId;
    const bool m_tracksSender;
    const QLoggingCategory& m_category;
    mutable QString m_currentSender;
};
