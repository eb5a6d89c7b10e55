// The service core: the dispatcher's checks and their order, the handler skeleton shared by the
// command handlers, and the notification chain with its sender rule.
#include "CommandHandler.h"
#include "ConfigurationManager.h"
#include "ConfigurationManagerAdaptor.h"
#include "LogCapture.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/LayoutActionId.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"
#include "property/manager/CatalogsManager.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {
CM_LOGGING_CATEGORY(lcFakeLayout, "FakeLayout")

const QString payloadKey = QStringLiteral("layoutNr");
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

class TestService : public QObject {
    Q_OBJECT

private:
    static QVariantMap request(const QString& command, const QString& subCommand, const QString& sender)
    {
        return { { ls::commandIdKey, command }, { ls::subCommandIdKey, subCommand }, { ls::senderIdKey, sender } };
    }

private slots:
    void dispatcherRejectsBadEnvelopes_data()
    {
        QTest::addColumn<QVariantMap>("request");
        QTest::addColumn<QString>("errorId");
        QTest::addColumn<QString>("message");

        const QString layout = ls::ConfigManagerCmdId::Layout;
        const QString web = ls::ServiceId::WebServer;
        QVariantMap noSubCommand = request(layout, QStringLiteral("Answer"), web);
        noSubCommand.remove(ls::subCommandIdKey);
        QVariantMap noSender = request(layout, QStringLiteral("Answer"), web);
        noSender.remove(ls::senderIdKey);
        QVariantMap noCommand = request(layout, QStringLiteral("Answer"), web);
        noCommand.remove(ls::commandIdKey);

        QTest::newRow("no sub-command key: the dispatcher, not the handler")
            << noSubCommand << QString(ls::ErrorId::InvalidCmd)
            << "ConfigurationManager::process ERROR: Invalid command!";
        QTest::newRow("no sender key") << noSender << QString(ls::ErrorId::InvalidCmd) << "Invalid command!";
        QTest::newRow("no command key") << noCommand << QString(ls::ErrorId::InvalidCmd) << "Invalid command!";
        QTest::newRow("unlisted command id, listed sender")
            << request(QStringLiteral("Layouts"), QStringLiteral("Answer"), web) << QString(ls::ErrorId::InvalidCmd)
            << "ConfigurationManager::process ERROR: Invalid command id!";
        QTest::newRow("command id is checked before the sender")
            << request(QStringLiteral("Nope"), QStringLiteral("Answer"), QStringLiteral("Nobody"))
            << QString(ls::ErrorId::InvalidCmd) << "Invalid command id!";
        QTest::newRow("unlisted sender") << request(layout, QStringLiteral("Answer"), QStringLiteral("Nobody"))
                                         << QString(ls::ErrorId::InvalidSender)
                                         << "ConfigurationManager::process ERROR: Invalid sender id!";
        QTest::newRow("ids are case-sensitive") << request(QStringLiteral("layout"), QStringLiteral("Answer"), web)
                                                << QString(ls::ErrorId::InvalidCmd) << "Invalid command id!";
        QTest::newRow("listed command without a handler: before init")
            << request(ls::ConfigManagerCmdId::Ssl, QStringLiteral("GetState"), web)
            << QString(ls::ErrorId::CmdNotFound) << "ConfigurationManager::process ERROR: Ssl command n/a!";
        QTest::newRow("unknown sub-command: the handler") << request(layout, QStringLiteral("Unknown"),
            web) << QString(ls::ErrorId::InvalidSubCmd) << "FakeLayout::process ERROR: Unknown subcommand not found!";
        QTest::newRow("sub-command key present but not a string") << QVariantMap {
            { ls::commandIdKey, layout }, { ls::subCommandIdKey, QVariantList { 1, 2 } }, { ls::senderIdKey, web }
        } << QString(ls::ErrorId::InvalidSubCmd) << "subcommand not found!";
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

        QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Failure));
        QCOMPARE(result.value(ls::errorIdKey).toString(), errorId);
        QCOMPARE(result.size(), 2);
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
        QCOMPARE(handler.calls, 0);
    }

    void dispatcherRoutesToTheFirstMatchingHandler()
    {
        ConfigurationManager manager;
        FakeLayout first;
        FakeLayout second;
        manager.registerCommand(&first);
        manager.registerCommand(&second);

        QVariantMap call = request(ls::ConfigManagerCmdId::Layout, QStringLiteral("Answer"), ls::ServiceId::Panel);
        call.insert(payloadKey, 7);
        const QVariantMap result = manager.process(call);

        QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
        QCOMPARE(result.value(ls::errorIdKey).toString(), QStringLiteral("Undefined"));
        QCOMPARE(result.value(payloadKey).toInt(), 7);
        QCOMPARE(first.calls, 1);
        QCOMPARE(second.calls, 0);
    }

    void notificationsCarryTheSenderOfTheirCommandOnce()
    {
        ConfigurationManager manager;
        FakeLayout handler;
        manager.registerCommand(&handler);
        connect(&handler, &CommandHandler::notification, &manager, &ConfigurationManager::notification);
        QSignalSpy relayed(&manager, &ConfigurationManager::notification);

        manager.process(request(ls::ConfigManagerCmdId::Layout, QStringLiteral("NotifyTwice"), ls::ServiceId::Panel));
        QCOMPARE(relayed.size(), 2);
        const QVariantMap first = relayed.at(0).at(0).toMap();
        const QVariantMap second = relayed.at(1).at(0).toMap();
        QCOMPARE(first.value(ls::notificationIdKey).toString(), QString(ls::ConfigManagerNotifId::LayoutChange));
        QCOMPARE(first.value(ls::actionIdKey).toString(), QString(ls::LayoutActionId::SetActive));
        QCOMPARE(first.value(ls::senderIdKey).toString(), QString(ls::ServiceId::Panel));
        QCOMPARE(first.value(payloadKey).toInt(), 1);
        QCOMPARE(first.size(), 4);
        QCOMPARE(second.value(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));

        // Outside any command (a direct setter) the service itself is the sender.
        relayed.clear();
        handler.emitNotification(ls::LayoutActionId::AddLayout, payloadKey, 3);
        QCOMPARE(relayed.size(), 1);
        QCOMPARE(relayed.at(0).at(0).toMap().value(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));
    }

    void notificationPayloadMayReplaceAnEnvelopeKey()
    {
        FakeLayout handler;
        QSignalSpy spy(&handler, &CommandHandler::notification);
        handler.emitNotification(ls::LayoutActionId::AddLayout, ls::senderIdKey, QStringLiteral("Replaced"));
        QCOMPARE(spy.size(), 1);
        const QVariantMap map = spy.at(0).at(0).toMap();
        QCOMPARE(map.size(), 3);
        QCOMPARE(map.value(ls::senderIdKey).toString(), QStringLiteral("Replaced"));
    }

    // Until init() has built the settings, every direct method answers its empty value and touches
    // nothing (over D-Bus: the NotReady error); process answers CmdNotFound as the protocol says.
    void directMethodsWaitForTheServiceToBeBuilt()
    {
        ConfigurationManager manager;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Unable to .*system-bus!")));
        ConfigurationManagerAdaptor adaptor(&manager);
        QCOMPARE(adaptor.getSpeechSpeed(), 0);
        adaptor.setVolume(QStringLiteral("high"), masterCollectionKey, true);
        QCOMPARE(adaptor.getModel(), QString());
        QVERIFY(!adaptor.isDoubleSided());
        QCOMPARE(adaptor.getValueList(10).size(), 0);
        QCOMPARE(adaptor
                     .process({ { ls::commandIdKey, "Layout" }, { ls::subCommandIdKey, "GetActive" },
                         { ls::senderIdKey, "WebServer" } })
                     .value(ls::errorIdKey)
                     .toString(),
            QStringLiteral("CmdNotFound"));
    }

    void logPrefixTakesTheQualifiedName_data()
    {
        QTest::addColumn<QString>("signature");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("method") << "QVariantMap ConfigurationManager::process(const QVariantMap&)"
                                << "ConfigurationManager::process ERROR:";
        QTest::newRow("const method") << "QString Layout::getActive(const ls::Command&) const"
                                      << "Layout::getActive ERROR:";
        QTest::newRow("template return type")
            << "QList<QPair<QString, QVariantMap> > ConfigurationManagerAdaptor::currentConfigurationCmd()"
            << "ConfigurationManagerAdaptor::currentConfigurationCmd ERROR:";
        QTest::newRow("constructor")
            << "ConfigurationManagerAdaptor::ConfigurationManagerAdaptor(ConfigurationManager*)"
            << "ConfigurationManagerAdaptor::ConfigurationManagerAdaptor ERROR:";
        QTest::newRow("pointer return") << "static ls::DBusService* ls::DBusServiceStore::getService(const QString&)"
                                        << "ls::DBusServiceStore::getService ERROR:";
        QTest::newRow("lambda") << "ConfigurationManager::init()::<lambda()>"
                                << "ConfigurationManager::init ERROR:";
    }

    void logPrefixTakesTheQualifiedName()
    {
        QFETCH(QString, signature);
        QFETCH(QString, prefix);
        QCOMPARE(libcorvane::logPrefix(signature.toLatin1().constData(), "ERROR:"), prefix);
    }
};

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
