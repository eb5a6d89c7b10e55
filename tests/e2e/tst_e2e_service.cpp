// The built daemon on a private bus and root, driven the way the embosser's other services and
// a developer at a shell reach it: QDBusInterface, gdbus, busctl and dbus-send.
#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDomDocument>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString& service = CommandLineClient::service();
const QString& interfaceName = CommandLineClient::interfaceName();

QString runClient(const QString& program, const QStringList& arguments)
{
    return CommandLineClient::run(program, arguments);
}

// Method name and signature per member, in declaration order, from introspection XML.
QStringList methodsOf(const QString& xml)
{
    QDomDocument document;
    document.setContent(xml);
    QStringList methods;
    const QDomNodeList interfaces = document.elementsByTagName(QStringLiteral("interface"));
    for (int i = 0; i < interfaces.size(); ++i) {
        const QDomElement interface = interfaces.at(i).toElement();
        if (interface.attribute(QStringLiteral("name")) != interfaceName) {
            continue;
        }
        for (QDomElement member = interface.firstChildElement(); !member.isNull();
             member = member.nextSiblingElement()) {
            QString entry
                = member.tagName() + QLatin1Char(' ') + member.attribute(QStringLiteral("name")) + QLatin1Char('(');
            for (QDomElement arg = member.firstChildElement(QStringLiteral("arg")); !arg.isNull();
                 arg = arg.nextSiblingElement(QStringLiteral("arg"))) {
                entry += arg.attribute(QStringLiteral("direction"), QStringLiteral("out")) + QLatin1Char(':')
                    + arg.attribute(QStringLiteral("type")) + QLatin1Char(' ');
            }
            methods << entry + QLatin1Char(')');
        }
    }
    return methods;
}
} // namespace

class TestE2eService : public QObject {
    Q_OBJECT

private:
    TestRoot* m_root = nullptr;
    PrivateBus* m_bus = nullptr;
    DaemonProcess* m_daemon = nullptr;

    QDBusInterface interface() const
    {
        return QDBusInterface(service, QStringLiteral("/"), interfaceName, QDBusConnection::systemBus());
    }

private slots:
    void initTestCase()
    {
        m_root = new TestRoot;
        QVERIFY(m_root->isValid());
        m_bus = new PrivateBus;
        QVERIFY(m_bus->isValid());
        m_daemon = new DaemonProcess(
            m_root->path(), QStringLiteral("ConfigurationManagerAdaptor.debug=true\nServiceWatcher.debug=true"));
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join(QLatin1Char('\n'))));
        QVERIFY(m_daemon->waitForLog(QStringLiteral("Successfully registered on DBus: ") + service));
    }

    void cleanupTestCase()
    {
        delete m_daemon;
        delete m_bus;
        delete m_root;
    }

    void processAnswersThroughQtDBus()
    {
        QDBusInterface manager = interface();
        QVERIFY(manager.isValid());
        const QVariantMap request { { QStringLiteral("commandId"), QStringLiteral("Layout") },
            { QStringLiteral("subCommandId"), QStringLiteral("GetActive") },
            { QStringLiteral("senderId"), QStringLiteral("Nobody") } };
        const QDBusReply<QVariantMap> reply = manager.call(QStringLiteral("process"), request);
        QVERIFY2(reply.isValid(), qPrintable(reply.error().message()));
        QCOMPARE(reply.value().value(QStringLiteral("resultId")).toString(), QStringLiteral("Failure"));
        QCOMPARE(reply.value().value(QStringLiteral("errorId")).toString(), QStringLiteral("InvalidSender"));
    }

    void processAnswersCommandLineClients_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");

        QTest::newRow("gdbus, unlisted command id")
            << "gdbus"
            << QStringList { "call", "--system", "--dest", service, "--object-path", "/", "--method",
                   interfaceName + ".process",
                   "{'commandId': <'Layouts'>, 'subCommandId': <'GetActive'>, 'senderId': <'WebServer'>}" }
            << "'errorId': <'InvalidCmd'>";
        QTest::newRow("gdbus, nested arguments unpacked")
            << "gdbus"
            << QStringList { "call", "--system", "--dest", service, "--object-path", "/", "--method",
                   interfaceName + ".process",
                   "{'commandId': <'Layout'>, 'subCommandId': <'GetActive'>, 'senderId': <'Panel'>, "
                   "'layoutData': <{'a': <[1, 2]>, 'b': <{'c': <'d'>}>}>}" }
            << "'errorId': <'CmdNotFound'>";
        QTest::newRow("busctl, missing sender key")
            << "busctl"
            << QStringList { "--system", "call", service, "/", interfaceName, "process", "a{sv}", "2", "commandId", "s",
                   "Layout", "subCommandId", "s", "GetActive" }
            << "\"errorId\" s \"InvalidCmd\"";
        // dbus-send cannot build variants inside a dictionary, so it cannot call process; it can
        // still see the interface.
        QTest::newRow("dbus-send, introspection") << "dbus-send"
                                                  << QStringList { "--system", "--print-reply", "--dest=" + service,
                                                         "/", "org.freedesktop.DBus.Introspectable.Introspect" }
                                                  << "<method name=\"restartServicesAfterReset\">";
    }

    void processAnswersCommandLineClients()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QVERIFY2(
            CommandLineClient::isInstalled(program), qPrintable(program + " is missing; scripts/test installs it"));
        const QString output = runClient(program, arguments);
        QVERIFY2(output.contains(expected), qPrintable(output));
    }

    void catalogMethodsAnswerGdbus_data()
    {
        QTest::addColumn<QStringList>("call");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value list as records") << QStringList { "getValueList", "10" } << "[{'description': <'";
        QTest::newRow("unknown value list") << QStringList { "getValueList", "100000" } << "(@aa{sv} [],)";
        QTest::newRow("duplicate the master")
            << QStringList { "duplicateCatalog", "masterCollectionKey", "job" } << "(true,)";
        QTest::newRow("duplicate a missing collection")
            << QStringList { "duplicateCatalog", "nope", "x" } << "(false,)";
        QTest::newRow("remove the copy") << QStringList { "removeCatalogsCollection", "job" } << "(true,)";
        QTest::newRow("remove it again") << QStringList { "removeCatalogsCollection", "job" } << "(false,)";
        QTest::newRow("range of a parameter") << QStringList { "getMaxValue", "Speech speed" } << "(10,)";
        QTest::newRow("sentence of a parameter") << QStringList { "getProposition", "Volume" } << "('PropVolume',)";
    }

    void catalogMethodsAnswerGdbus()
    {
        QFETCH(QStringList, call);
        QFETCH(QString, expected);
        QStringList arguments { "call", "--system", "--dest", service, "--object-path", "/", "--method",
            interfaceName + QLatin1Char('.') + call.takeFirst() };
        const QString output = runClient(QStringLiteral("gdbus"), arguments + call);
        QVERIFY2(output.startsWith(expected) || output.contains(expected), qPrintable(output));
    }

    void publishedIntrospectionMatchesTheService()
    {
        const QString running = runClient(
            QStringLiteral("gdbus"), { "introspect", "--system", "--dest", service, "--object-path", "/", "--xml" });
        QVERIFY(!running.isEmpty());
        QFile published(TestRoot::sourceDir() + QStringLiteral("/dbus/com.corvanebraille.ConfigurationManager.xml"));
        QVERIFY(published.open(QIODevice::ReadOnly));
        const QStringList expected = methodsOf(QString::fromUtf8(published.readAll()));
        const QStringList actual = methodsOf(running);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(actual, expected);
    }

    void aSecondInstanceKeepsRunningWithoutTheName()
    {
        DaemonProcess second(m_root->path());
        QVERIFY(second.start());
        QVERIFY2(second.waitForLog(QStringLiteral("Unable to register Service: ")),
            qPrintable(second.log().join(QLatin1Char('\n'))));
        QVERIFY(second.isRunning());
        // The first instance still owns the name and answers.
        QDBusInterface manager = interface();
        const QDBusReply<QVariantMap> reply = manager.call(QStringLiteral("process"), QVariantMap());
        QVERIFY(reply.isValid());
        QCOMPARE(reply.value().value(QStringLiteral("errorId")).toString(), QStringLiteral("InvalidCmd"));
    }

    void restartRebuildsTheServiceInTheSameProcess()
    {
        const qint64 pid = m_daemon->pid();
        QDBusInterface manager = interface();
        const QDBusMessage reply = manager.call(QStringLiteral("restartServicesAfterReset"));
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QVERIFY(m_daemon->waitForLog(QStringLiteral("QCoreApplication exited with status: 0")));
        QVERIFY(m_daemon->waitForLog(QStringLiteral("Successfully registered on DBus: ") + service, 2));
        QVERIFY(m_daemon->waitForLog(QStringLiteral("configuration-manager ready"), 2));
        QCOMPARE(m_daemon->pid(), pid);

        QDBusInterface again = interface();
        const QDBusReply<QVariantMap> answer = again.call(QStringLiteral("process"), QVariantMap());
        QVERIFY2(answer.isValid(), qPrintable(answer.error().message()));
        QCOMPARE(answer.value().value(QStringLiteral("errorId")).toString(), QStringLiteral("InvalidCmd"));
    }

    // Calls that arrive while the service rebuilds itself get an answer or a defined error (the
    // object is gone, or the service is not built yet), never a crash.
    void aBurstOfCallsDuringRestartsIsAnswered()
    {
        const QStringList getters { "getSpeechSpeed", "getVolume", "getModel", "getBaudrate", "getCounter",
            "isDoubleSided", "getFirmwareDate", "getHammerBatch" };
        const QStringList defined { "com.corvanebraille.ConfigurationManager.Error.NotReady",
            "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.UnknownObject",
            "org.freedesktop.DBus.Error.NoReply" };
        const qint64 pid = m_daemon->pid();
        for (int round = 1; round <= 3; ++round) {
            const int ready = m_daemon->logCount(QStringLiteral("configuration-manager ready"));
            QDBusInterface manager = interface();
            manager.asyncCall(QStringLiteral("restartServicesAfterReset"));
            QList<QDBusPendingCall> calls;
            for (int i = 0; i < 100; ++i) {
                calls.append(manager.asyncCall(getters.at(i % getters.size())));
            }
            for (QDBusPendingCall& call : calls) {
                call.waitForFinished();
                QVERIFY2(!call.isError() || defined.contains(call.error().name()), qPrintable(call.error().name()));
            }
            QVERIFY(m_daemon->waitForLog(QStringLiteral("configuration-manager ready"), ready + 1));
        }
        QCOMPARE(m_daemon->pid(), pid);
        QDBusInterface manager = interface();
        const QDBusReply<int> speed = manager.call(QStringLiteral("getSpeechSpeed"));
        QVERIFY2(speed.isValid(), qPrintable(speed.error().message()));
    }
};

QTEST_GUILESS_MAIN(TestE2eService)
#include "tst_e2e_service.moc"
