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
#include <QTest>

#include <memory>

namespace {
const QString& service = CommandLineClient::service();

// Method name and signature per member, in declaration order, from introspection XML.
QStringList methodsOf(const QString& xml)
{
    QDomDocument document;
    document.setContent(xml);
    QStringList methods;
    const QDomNodeList interfaces = document.elementsByTagName("interface");
    for (int i = 0; i < interfaces.size(); ++i) {
        const QDomElement interface = interfaces.at(i).toElement();
        if (interface.attribute("name") != service) {
            continue;
        }
        for (QDomElement member = interface.firstChildElement(); !member.isNull();
             member = member.nextSiblingElement()) {
            QString entry = member.tagName() + ' ' + member.attribute("name") + '(';
            for (QDomElement arg = member.firstChildElement("arg"); !arg.isNull();
                 arg = arg.nextSiblingElement("arg")) {
                entry += arg.attribute("direction", "out") + ':' + arg.attribute("type") + ' ';
            }
            methods << entry + ')';
        }
    }
    return methods;
}

QDBusInterface manager()
{
    return QDBusInterface(service, "/", service, QDBusConnection::systemBus());
}

// The errorId of the service's answer to `process`, or the D-Bus error.
QString processError(const QVariantMap& request)
{
    QDBusInterface interface = manager();
    const QDBusReply<QVariantMap> reply = interface.call("process", request);
    return reply.isValid() ? reply.value().value("errorId").toString() : reply.error().message();
}
} // namespace

class TestE2eService : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon = std::make_unique<DaemonProcess>(
            m_root->path(), "ConfigurationManagerAdaptor.debug=true\nServiceWatcher.debug=true");
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
        QVERIFY(m_daemon->waitForLog("Successfully registered on DBus: " + service));
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void processAnswersCommandLineClients_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const QStringList gdbusProcess { "call", "--system", "--dest", service, "--object-path", "/", "--method",
            service + ".process" };
        QTest::newRow("gdbus, unlisted command id") << "gdbus"
                                                    << gdbusProcess
                + QStringList { "{'commandId': <'Layouts'>, 'subCommandId': <'GetActive'>, 'senderId': <'WebServer'>}" }
                                                    << "'errorId': <'InvalidCmd'>";
        QTest::newRow("gdbus, nested arguments unpacked") << "gdbus"
                                                          << gdbusProcess
                + QStringList { "{'commandId': <'Layout'>, 'subCommandId': <'GetActive'>, 'senderId': <'Panel'>, "
                                "'layoutData': <{'a': <[1, 2]>, 'b': <{'c': <'d'>}>}>}" }
                                                          << "'activeLayout': <1>";
        QTest::newRow("busctl, missing sender key")
            << "busctl"
            << QStringList { "--system", "call", service, "/", service, "process", "a{sv}", "2", "commandId", "s",
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
        const QString output = CommandLineClient::run(program, arguments);
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
        const QString output = CommandLineClient::gdbus(call.takeFirst(), call);
        QVERIFY2(output.contains(expected), qPrintable(output));
    }

    void publishedIntrospectionMatchesTheService()
    {
        const QString running = CommandLineClient::run(
            "gdbus", { "introspect", "--system", "--dest", service, "--object-path", "/", "--xml" });
        QFile published(TestRoot::sourceDir() + "/dbus/com.corvanebraille.ConfigurationManager.xml");
        QVERIFY(!running.isEmpty() && published.open(QIODevice::ReadOnly));
        const QStringList expected = methodsOf(QString::fromUtf8(published.readAll()));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(methodsOf(running), expected);
    }

    void aSecondInstanceKeepsRunningWithoutTheName()
    {
        DaemonProcess second(m_root->path());
        QVERIFY(second.start());
        QVERIFY2(second.waitForLog("Unable to register Service: "), qPrintable(second.log().join('\n')));
        QVERIFY(second.isRunning());
        // The first instance still owns the name and answers.
        QCOMPARE(processError(QVariantMap()), QString("InvalidCmd"));
    }

    // A restart rebuilds the service in the same process. Calls that arrive while it rebuilds
    // itself get an answer or a defined error (the object is gone, or the service is not built
    // yet), never a crash.
    void aBurstOfCallsDuringRestartsIsAnswered()
    {
        const QStringList getters { "getSpeechSpeed", "getVolume", "getModel", "getBaudrate", "getCounter",
            "isDoubleSided", "getFirmwareDate", "getHammerBatch" };
        // No call may go unanswered (NoReply after the short time-out): the calls queued for the
        // old service are answered before it goes.
        const QStringList defined { "com.corvanebraille.ConfigurationManager.Error.NotReady",
            "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.UnknownObject" };
        const qint64 pid = m_daemon->pid();
        for (int round = 1; round <= 3; ++round) {
            const int ready = m_daemon->logCount("configuration-manager ready");
            QDBusInterface interface = manager();
            interface.setTimeout(5000);
            QList<QDBusPendingCall> calls;
            for (int i = 0; i < 40; ++i) {
                calls.append(interface.asyncCall(getters.at(i % getters.size())));
            }
            QDBusPendingCall restart = interface.asyncCall("restartServicesAfterReset");
            // Fewer than the bus's 128 calls in flight per connection.
            for (int i = 0; i < 80; ++i) {
                calls.append(interface.asyncCall(getters.at(i % getters.size())));
            }
            for (QDBusPendingCall& call : calls) {
                call.waitForFinished();
                QVERIFY2(!call.isError() || defined.contains(call.error().name()), qPrintable(call.error().name()));
            }
            restart.waitForFinished();
            QVERIFY2(!restart.isError(), qPrintable(restart.error().message()));
            QVERIFY(m_daemon->waitForLog("configuration-manager ready", ready + 1));
        }
        QCOMPARE(m_daemon->pid(), pid);
        QCOMPARE(processError(QVariantMap()), QString("InvalidCmd"));
        QDBusInterface interface = manager();
        const QDBusReply<int> speed = interface.call("getSpeechSpeed");
        QVERIFY2(speed.isValid(), qPrintable(speed.error().message()));
    }
};

QTEST_GUILESS_MAIN(TestE2eService)
#include "tst_e2e_service.moc"
