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

namespace {
const QString& service = CommandLineClient::service();
const QString accessDenied = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
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
    return QStringList { QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--system"),
        QStringLiteral("--dest"), service, QStringLiteral("--object-path"), QStringLiteral("/"),
        QStringLiteral("--method"), method }
    + arguments;
}

QStringList requestName()
{
    return { QStringLiteral("dbus-send"), QStringLiteral("--system"), QStringLiteral("--print-reply"),
        QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.RequestName"), QStringLiteral("string:") + service,
        QStringLiteral("uint32:4") };
}

bool emitMarker(const QString& text)
{
    return run({ QStringLiteral("gdbus"), QStringLiteral("emit"), QStringLiteral("--system"),
                   QStringLiteral("--object-path"), QStringLiteral("/marker"), QStringLiteral("--signal"),
                   markerInterface + QStringLiteral(".Marker"), QLatin1Char('\'') + text + QLatin1Char('\'') })
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
        const QStringList command = TestAccounts::commandAs(account, QStringLiteral("dbus-monitor"),
            { QStringLiteral("--system"), QStringLiteral("type='signal',sender='%1'").arg(service),
                QStringLiteral("type='signal',interface='%1'").arg(markerInterface) });
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
    bool sawMarker(const QString& text) { return saw(QStringLiteral("string \"%1\"").arg(text)); }
    QString output() const { return m_output; }

private:
    QProcess m_process;
    QString m_output;
};
} // namespace

class TestE2ePolicy : public QObject {
    Q_OBJECT

private:
    TestAccounts* m_accounts = nullptr;
    TestRoot* m_root = nullptr;
    SystemStyleBus* m_bus = nullptr;
    DaemonProcess* m_daemon = nullptr;

    QStringList as(const QString& who, const QStringList& command) const
    {
        if (who == QLatin1String("root")) {
            return command;
        }
        const TestAccounts::Account& account
            = who == QLatin1String("member") ? m_accounts->member() : m_accounts->outsider();
        return TestAccounts::commandAs(account, command.first(), command.mid(1));
    }

private slots:
    void initTestCase()
    {
        for (const char* tool : { "setpriv", "dbus-daemon", "dbus-monitor", "dbus-send", "gdbus" }) {
            QVERIFY2(CommandLineClient::isInstalled(QLatin1String(tool)),
                qPrintable(QStringLiteral("%1 is missing; scripts/lib.sh lists its package").arg(tool)));
        }
        QVERIFY2(QFile::exists(SystemStyleBus::systemConfiguration()),
            qPrintable(SystemStyleBus::systemConfiguration() + QStringLiteral(" is missing")));
        m_accounts = new TestAccounts;
        QVERIFY2(m_accounts->isValid(), qPrintable(m_accounts->error()));
        m_root = new TestRoot;
        QVERIFY(m_root->isValid());
        m_bus = new SystemStyleBus(TestRoot::sourceDir() + QStringLiteral("/dbus/%1.conf").arg(service));
        QVERIFY2(m_bus->isValid(), qPrintable(m_bus->error()));
        m_daemon = new DaemonProcess(m_root->path(), QStringLiteral("ConfigurationManagerAdaptor.debug=true"));
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join(QLatin1Char('\n'))));
        QVERIFY2(m_daemon->waitForLog(QStringLiteral("Successfully registered on DBus: ") + service),
            qPrintable(m_daemon->log().join(QLatin1Char('\n'))));
    }

    void cleanupTestCase()
    {
        delete m_daemon;
        delete m_bus;
        delete m_root;
        delete m_accounts;
    }

    void rootOwnsTheName()
    {
        const Outcome owner = run({ QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--system"),
            QStringLiteral("--dest"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("--object-path"),
            QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("--method"),
            QStringLiteral("org.freedesktop.DBus.GetConnectionUnixUser"), service });
        QCOMPARE(owner.output, QStringLiteral("(uint32 0,)"));
    }

    void whoMayCallAndOwn_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("allowed");

        const QStringList getModel = gdbusCall(service + QStringLiteral(".getModel"));
        const QStringList introspect { QStringLiteral("gdbus"), QStringLiteral("introspect"),
            QStringLiteral("--system"), QStringLiteral("--dest"), service, QStringLiteral("--object-path"),
            QStringLiteral("/") };
        const QStringList ping = gdbusCall(QStringLiteral("org.freedesktop.DBus.Peer.Ping"));
        QTest::newRow("root calls") << "root" << getModel << true;
        QTest::newRow("member calls") << "member" << getModel << true;
        QTest::newRow("member introspects") << "member" << introspect << true;
        QTest::newRow("member pings") << "member" << ping << true;
        QTest::newRow("member may not own") << "member" << requestName() << false;
        QTest::newRow("outsider may not call") << "outsider" << getModel << false;
        QTest::newRow("outsider may not introspect") << "outsider" << introspect << false;
        QTest::newRow("outsider may not ping") << "outsider" << ping << false;
        QTest::newRow("outsider may not own") << "outsider" << requestName() << false;
    }

    void whoMayCallAndOwn()
    {
        QFETCH(QString, who);
        QFETCH(QStringList, command);
        QFETCH(bool, allowed);

        const Outcome outcome = run(as(who, command));
        if (allowed) {
            QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.error));
            QVERIFY(!outcome.output.isEmpty());
        } else {
            QVERIFY(outcome.exitCode != 0);
            QVERIFY2(outcome.error.contains(accessDenied), qPrintable(outcome.error));
        }
    }

    // The serial number set by root reaches the member and not the outsider. The bus passes on
    // the service's signal before the reply to setSerialNo, so a marker sent after that reply
    // reaches each listener after the signal would have.
    void notificationReachesTheGroupOnly()
    {
        Listener member(m_accounts->member());
        Listener outsider(m_accounts->outsider());
        bool listening = false;
        for (int round = 0; round < 50 && !listening; ++round) {
            QVERIFY(emitMarker(QStringLiteral("listening")));
            listening = QTest::qWaitFor(
                [&]() {
                    return member.sawMarker(QStringLiteral("listening"))
                        && outsider.sawMarker(QStringLiteral("listening"));
                },
                200);
        }
        QVERIFY2(listening, qPrintable(member.output() + outsider.output()));

        const QString serial = QStringLiteral("SN-POLICY-%1").arg(QCoreApplication::applicationPid());
        const Outcome set = run(
            gdbusCall(service + QStringLiteral(".setSerialNo"), { QLatin1Char('\'') + serial + QLatin1Char('\'') }));
        QVERIFY2(set.exitCode == 0, qPrintable(set.error));
        QVERIFY(emitMarker(QStringLiteral("after")));
        QVERIFY2(QTest::qWaitFor(
                     [&]() {
                         return member.sawMarker(QStringLiteral("after"))
                             && outsider.sawMarker(QStringLiteral("after"));
                     },
                     10000),
            qPrintable(member.output() + outsider.output()));

        QVERIFY2(member.saw(QStringLiteral("member=notification")) && member.saw(serial), qPrintable(member.output()));
        QVERIFY2(!outsider.saw(QStringLiteral("member=notification")) && !outsider.saw(serial),
            qPrintable(outsider.output()));
    }
};

QTEST_GUILESS_MAIN(TestE2ePolicy)
#include "tst_e2e_policy.moc"
