// The installed bus policy on a bus configured as the system bus is: root owns the name and calls
// it; a member of the "embosser" group calls it and receives its signals; any other user can do
// neither. The users exist only inside this test's own mount namespace (TestAccounts); the
// clients run as them through setpriv.
#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "SystemStyleBus.h"
#include "TestAccounts.h"
#include "TestRoot.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {
const QString& service = CommandLineClient::service();
// Signals of the test's own, which every user may receive: they show how far a listener got.
const QString markerInterface = QStringLiteral("com.corvanebraille.PolicyTest");

struct Outcome {
    int exitCode = -1;
    QString output;
    QString error;
};

Outcome run(const QStringList& command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    Outcome outcome;
    if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit) {
        outcome.exitCode = process.exitCode();
    }
    outcome.output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    outcome.error = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return outcome;
}

QStringList gdbusCall(const QString& method, const QStringList& arguments = QStringList())
{
    return QStringList { "gdbus", "call", "--system", "--dest", service, "--object-path", "/", "--method", method }
    + arguments;
}

bool emitMarker(const QString& text)
{
    return run({ "gdbus", "emit", "--system", "--object-path", "/marker", "--signal", markerInterface + ".Marker",
                   '\'' + text + '\'' })
               .exitCode
        == 0;
}

// dbus-monitor as one user, on the service's signals and the markers. It cannot become a
// monitor (only root may) and falls back to match rules, to which the bus applies the receive
// policy of that user.
class Listener {
public:
    explicit Listener(const TestAccounts::Account& account)
    {
        const QStringList command = TestAccounts::commandAs(account, "dbus-monitor",
            { "--system", QString("type='signal',sender='%1'").arg(service),
                QString("type='signal',interface='%1'").arg(markerInterface) });
        m_process.start(command.first(), command.mid(1));
    }
    ~Listener()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool saw(const QString& text)
    {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output.contains(text);
    }
    bool sawMarker(const QString& text) { return saw(QString("string \"%1\"").arg(text)); }
    QString output() const { return m_output; }

private:
    QProcess m_process;
    QString m_output;
};
} // namespace

class TestE2ePolicy : public QObject {
    Q_OBJECT

private:
    // Destroyed in reverse order: the daemon first, the accounts last.
    std::unique_ptr<TestAccounts> m_accounts;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<SystemStyleBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;

private slots:
    void initTestCase()
    {
        for (const char* tool : { "setpriv", "dbus-daemon", "dbus-monitor", "dbus-send", "gdbus" }) {
            QVERIFY2(CommandLineClient::isInstalled(tool),
                qPrintable(QString("%1 is missing; scripts/lib.sh lists its package").arg(tool)));
        }
        QVERIFY2(QFile::exists(SystemStyleBus::systemConfiguration()),
            qPrintable(SystemStyleBus::systemConfiguration() + " is missing"));
        m_accounts = std::make_unique<TestAccounts>();
        QVERIFY2(m_accounts->isValid(), qPrintable(m_accounts->error()));
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<SystemStyleBus>(TestRoot::sourceDir() + QString("/dbus/%1.conf").arg(service));
        QVERIFY2(m_bus->isValid(), qPrintable(m_bus->error()));
        m_daemon = std::make_unique<DaemonProcess>(m_root->path(), "ConfigurationManagerAdaptor.debug=true");
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady() && m_daemon->waitForLog("Successfully registered on DBus: " + service),
            qPrintable(m_daemon->log().join('\n')));
    }

    void rootOwnsTheName()
    {
        const Outcome owner = run({ "gdbus", "call", "--system", "--dest", "org.freedesktop.DBus", "--object-path",
            "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus.GetConnectionUnixUser", service });
        QCOMPARE(owner.output, QString("(uint32 0,)"));
    }

    void whoMayCallAndOwn_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("allowed");
        const QStringList getModel = gdbusCall(service + ".getModel");
        const QStringList introspect { "gdbus", "introspect", "--system", "--dest", service, "--object-path", "/" };
        const QStringList ping = gdbusCall("org.freedesktop.DBus.Peer.Ping");
        const QStringList requestName { "dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
            "/org/freedesktop/DBus", "org.freedesktop.DBus.RequestName", "string:" + service, "uint32:4" };
        QTest::newRow("root calls") << "root" << getModel << true;
        QTest::newRow("member calls") << "member" << getModel << true;
        QTest::newRow("member introspects") << "member" << introspect << true;
        QTest::newRow("member pings") << "member" << ping << true;
        QTest::newRow("member may not own") << "member" << requestName << false;
        QTest::newRow("outsider may not call") << "outsider" << getModel << false;
        QTest::newRow("outsider may not introspect") << "outsider" << introspect << false;
        QTest::newRow("outsider may not ping") << "outsider" << ping << false;
        QTest::newRow("outsider may not own") << "outsider" << requestName << false;
    }

    void whoMayCallAndOwn()
    {
        QFETCH(QString, who);
        QFETCH(QStringList, command);
        QFETCH(bool, allowed);
        if (who != "root") {
            command = TestAccounts::commandAs(
                who == "member" ? m_accounts->member() : m_accounts->outsider(), command.first(), command.mid(1));
        }
        const Outcome outcome = run(command);
        if (allowed) {
            QVERIFY2(outcome.exitCode == 0 && !outcome.output.isEmpty(), qPrintable(outcome.error));
        } else {
            QVERIFY(outcome.exitCode != 0);
            QVERIFY2(outcome.error.contains("org.freedesktop.DBus.Error.AccessDenied"), qPrintable(outcome.error));
        }
    }

    // The serial number set by root reaches the member and not the outsider. The bus passes on
    // the service's signal before the reply to setSerialNo, so a marker sent after that reply
    // reaches each listener after the signal would have.
    void notificationReachesTheGroupOnly()
    {
        Listener member(m_accounts->member());
        Listener outsider(m_accounts->outsider());
        const auto bothSaw = [&](const QString& marker, int timeoutMs) {
            return QTest::qWaitFor([&]() { return member.sawMarker(marker) && outsider.sawMarker(marker); }, timeoutMs);
        };
        bool listening = false;
        for (int round = 0; round < 50 && !listening; ++round) {
            QVERIFY(emitMarker("listening"));
            listening = bothSaw("listening", 200);
        }
        QVERIFY2(listening, qPrintable(member.output() + outsider.output()));

        const QString serial = QString("SN-POLICY-%1").arg(QCoreApplication::applicationPid());
        const Outcome set = run(gdbusCall(service + ".setSerialNo", { '\'' + serial + '\'' }));
        QVERIFY2(set.exitCode == 0, qPrintable(set.error));
        QVERIFY(emitMarker("after"));
        QVERIFY2(bothSaw("after", 10000), qPrintable(member.output() + outsider.output()));

        QVERIFY2(member.saw("member=notification") && member.saw(serial), qPrintable(member.output()));
        QVERIFY2(!outsider.saw("member=notification") && !outsider.saw(serial), qPrintable(outsider.output()));
    }
};

QTEST_GUILESS_MAIN(TestE2ePolicy)
#include "tst_e2e_policy.moc"
