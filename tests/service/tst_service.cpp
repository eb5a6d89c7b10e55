// The service core: the dispatcher's checks and their order, the handler skeleton shared by the
// command handlers, the notification chain with its sender rule, and the requests the console
// builds.
#include "CommandHandler.h"
#include "ConfigurationManager.h"
#include "ConfigurationManagerAdaptor.h"
#include "Console.h"
#include "DataRow.h"
#include "LogCapture.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/LayoutActionId.h"
#include "ls/LayoutCmdId.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"
#include "property/manager/CatalogsManager.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {
CM_LOGGING_CATEGORY(lcFakeLayout, "FakeLayout")

const QString payloadKey = QStringLiteral("layoutNr");

QVariantMap request(const QString& command, const QString& subCommand, const QString& sender)
{
    return { { ls::commandIdKey, command }, { ls::subCommandIdKey, subCommand }, { ls::senderIdKey, sender } };
}
} // namespace

// A handler as the real ones are built: a static sub-command table and the shared skeleton.
class FakeLayout : public CommandHandler {
    Q_OBJECT

public:
    explicit FakeLayout(QObject* parent = nullptr)
        : CommandHandler(
            ls::ConfigManagerCmdId::Layout, ls::ConfigManagerNotifId::LayoutChange, true, lcFakeLayout(), parent)
    {
    }

    QVariantMap process(const ls::Command& command) override { return dispatch(command, table, this); }

    int calls = 0;

private:
    QVariantMap answer(const ls::Command& command) const
    {
        ++const_cast<FakeLayout*>(this)->calls;
        QVariantMap result = success();
        result.insert(payloadKey, command.request().value(payloadKey));
        return result;
    }

    QVariantMap notifyTwice(const ls::Command&) const
    {
        emitNotification(ls::LayoutActionId::SetActive, payloadKey, 1);
        emitNotification(ls::LayoutActionId::DeleteLayout, payloadKey, 2);
        return success();
    }

    static const SubCommandTable<FakeLayout> table;
};

const CommandHandler::SubCommandTable<FakeLayout> FakeLayout::table {
    { QStringLiteral("Answer"), &FakeLayout::answer },
    { QStringLiteral("NotifyTwice"), &FakeLayout::notifyTwice },
};

// Records every request of the command Layout, whatever its sub-command.
class LayoutRecorder : public ls::ICommand {
public:
    QString commandId() const override { return ls::ConfigManagerCmdId::Layout; }
    QVariantMap process(const ls::Command& command) override
    {
        requests << command.request();
        return CommandHandler::success();
    }
    QList<QVariantMap> requests;
};

class TestService : public QObject {
    Q_OBJECT

private slots:
    void dispatcherRejectsBadEnvelopes_data()
    {
        QTest::addColumn<QVariantMap>("request");
        QTest::addColumn<QString>("errorId");
        QTest::addColumn<QString>("message");
        const QString layout = ls::ConfigManagerCmdId::Layout;
        const QString web = ls::ServiceId::WebServer;
        const auto without = [&](const QString& key) {
            QVariantMap envelope = request(layout, "Answer", web);
            envelope.remove(key);
            return envelope;
        };
        const QString invalidCmd = ls::ErrorId::InvalidCmd;
        QTest::newRow("no sub-command key: the dispatcher, not the handler")
            << without(ls::subCommandIdKey) << invalidCmd << "ConfigurationManager::process ERROR: Invalid command!";
        QTest::newRow("no sender key") << without(ls::senderIdKey) << invalidCmd << "Invalid command!";
        QTest::newRow("no command key") << without(ls::commandIdKey) << invalidCmd << "Invalid command!";
        QTest::newRow("unlisted command id, listed sender") << request(
            "Layouts", "Answer", web) << invalidCmd << "ConfigurationManager::process ERROR: Invalid command id!";
        QTest::newRow("command id is checked before the sender")
            << request("Nope", "Answer", "Nobody") << invalidCmd << "Invalid command id!";
        QTest::newRow("unlisted sender") << request(layout, "Answer", "Nobody") << QString(ls::ErrorId::InvalidSender)
                                         << "ConfigurationManager::process ERROR: Invalid sender id!";
        QTest::newRow("ids are case-sensitive")
            << request("layout", "Answer", web) << invalidCmd << "Invalid command id!";
        QTest::newRow("listed command without a handler: before init")
            << request(ls::ConfigManagerCmdId::Ssl, "GetState", web) << QString(ls::ErrorId::CmdNotFound)
            << "ConfigurationManager::process ERROR: Ssl command n/a!";
        QTest::newRow("unknown sub-command: the handler") << request(layout, "Unknown",
            web) << QString(ls::ErrorId::InvalidSubCmd) << "FakeLayout::process ERROR: Unknown subcommand not found!";
        QVariantMap listAsSubCommand = request(layout, QString(), web);
        listAsSubCommand.insert(ls::subCommandIdKey, QVariantList { 1, 2 });
        QTest::newRow("sub-command key present but not a string")
            << listAsSubCommand << QString(ls::ErrorId::InvalidSubCmd) << "subcommand not found!";
    }

    void dispatcherRejectsBadEnvelopes()
    {
        QFETCH(QVariantMap, request);
        QFETCH(QString, errorId);
        QFETCH(QString, message);
        ConfigurationManager manager;
        FakeLayout handler;
        if (errorId != QString(ls::ErrorId::CmdNotFound)) {
            manager.registerCommand(&handler);
        }
        LogCapture log;
        const QVariantMap result = manager.process(request);
        QCOMPARE(
            result, (QVariantMap { { ls::resultIdKey, QString(ls::ResultId::Failure) }, { ls::errorIdKey, errorId } }));
        QVERIFY2(log.contains(message), qPrintable(log.messages().join('\n')));
        QCOMPARE(handler.calls, 0);
    }

    // The first matching handler answers. Its notifications carry the sender of the command once,
    // later ones and those outside any command (a direct setter) the service itself; a payload
    // may replace an envelope key.
    void dispatchAndNotificationSenders()
    {
        ConfigurationManager manager;
        FakeLayout handler;
        FakeLayout second;
        manager.registerCommand(&handler);
        manager.registerCommand(&second);
        connect(&handler, &CommandHandler::notification, &manager, &ConfigurationManager::notification);
        QSignalSpy relayed(&manager, &ConfigurationManager::notification);

        QVariantMap call = request(ls::ConfigManagerCmdId::Layout, "Answer", ls::ServiceId::Panel);
        call.insert(payloadKey, 7);
        const QVariantMap result = manager.process(call);
        QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
        QCOMPARE(result.value(ls::errorIdKey).toString(), QString("Undefined"));
        QCOMPARE(result.value(payloadKey).toInt(), 7);
        QCOMPARE(handler.calls, 1);
        QCOMPARE(second.calls, 0);

        manager.process(request(ls::ConfigManagerCmdId::Layout, "NotifyTwice", ls::ServiceId::Panel));
        handler.emitNotification(ls::LayoutActionId::AddLayout, payloadKey, 3);
        handler.emitNotification(ls::LayoutActionId::AddLayout, ls::senderIdKey, "Replaced");
        QCOMPARE(relayed.size(), 4);
        QCOMPARE(relayed.at(0).at(0).toMap(),
            (QVariantMap { { ls::notificationIdKey, QString(ls::ConfigManagerNotifId::LayoutChange) },
                { ls::actionIdKey, QString(ls::LayoutActionId::SetActive) },
                { ls::senderIdKey, QString(ls::ServiceId::Panel) }, { payloadKey, 1 } }));
        QCOMPARE(relayed.at(1).at(0).toMap().value(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));
        QCOMPARE(relayed.at(2).at(0).toMap().value(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));
        QCOMPARE(relayed.at(3).at(0).toMap().size(), 3);
        QCOMPARE(relayed.at(3).at(0).toMap().value(ls::senderIdKey).toString(), QString("Replaced"));
    }

    // The console fills a Layout request from the line's number and the first ADD text; what the
    // line lacks stays out (the handler's answer names it), and a sub-command it cannot fill is not
    // sent.
    void consoleBuildsLayoutRequests_data()
    {
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QVariantMap>("keys");
        const QVariantMap nothing { { "sent", false } };
        using namespace ls::LayoutCmdId;
        row("number", QString(), QString("C 0 1 3"), QVariantMap { { ls::layoutNrKey, 3 } });
        row("no number", QString(), QString("c 0 1"), QVariantMap());
        row("number and property", QString("\"Line per page\""), QString("C 0 9 5"),
            QVariantMap { { ls::layoutNrKey, 5 }, { ls::propertyNameKey, "Line per page" } });
        row("property missing", QString(), QString("C 0 9 5"), QVariantMap { { ls::layoutNrKey, 5 } });
        row("switch", QString(), QString("C 0 26 1"), QVariantMap { { ls::enabledKey, true } });
        row("model", QString("Corvane Zentra"), QString("C 0 22"), QVariantMap { { ls::modelKey, "Corvane Zentra" } });
        row("no parameters", QString("ignored"), QString("C 0 20"), QVariantMap());
        row("a list of layouts", QString(), QString("C 0 13 1"), nothing);
        row("layout data", QString(), QString("C 0 6 2"), nothing);
    }

    void consoleBuildsLayoutRequests()
    {
        QFETCH(QString, added);
        QFETCH(QString, line);
        QFETCH(QVariantMap, keys);
        ConfigurationManager manager;
        LayoutRecorder recorder;
        manager.registerCommand(&recorder);
        Console console(&manager);
        if (!added.isEmpty()) {
            console.handleLine("ADD " + added);
        }
        console.handleLine(line);
        if (keys.value("sent") == false) {
            QCOMPARE(recorder.requests.size(), 0);
            return;
        }
        QCOMPARE(recorder.requests.size(), 1);
        QVariantMap request = recorder.requests.first();
        QCOMPARE(request.take(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));
        QCOMPARE(ls::LayoutCmdId::meta.keyToValue(request.take(ls::subCommandIdKey).toString()),
            line.section(' ', 2, 2).toInt());
        request.remove(ls::commandIdKey);
        QCOMPARE(request, keys);
    }

    // Until init() has built the settings, every direct method answers its empty value and touches
    // nothing (over D-Bus: the NotReady error); process answers CmdNotFound as the protocol says.
    void directMethodsWaitForTheServiceToBeBuilt()
    {
        ConfigurationManager manager;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Unable to .*system-bus!"));
        ConfigurationManagerAdaptor adaptor(&manager);
        QCOMPARE(adaptor.getSpeechSpeed(), 0);
        adaptor.setVolume("high", masterCollectionKey, true);
        QCOMPARE(adaptor.getModel(), QString());
        QVERIFY(!adaptor.isDoubleSided());
        QCOMPARE(adaptor.getValueList(10).size(), 0);
        QCOMPARE(adaptor.process(request("Layout", "GetActive", "WebServer")).value(ls::errorIdKey).toString(),
            QString("CmdNotFound"));
    }
};

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
