// The installed bus policy on a bus configured as the system bus is: root owns the name and calls
// it; a member of the "embosser" group calls it and receives its signals; any other user can do
// neither. The test users exist only in the test's own mount namespace (PrivateMounts), where
// copies of /etc/passwd and /etc/group that list them are mounted over the machine's; the clients
// run as them through setpriv.
#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "PrivateMounts.h"
#include "TestRoot.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <grp.h>
#include <memory>
#include <pwd.h>

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
    const bool finished = process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit;
    return { finished ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
        QString::fromUtf8(process.readAllStandardError()).trimmed() };
}

// The command as the user of that id (whose group has the same id), with its groups of /etc/group.
QStringList as(uint id, const QStringList& command)
{
    return QStringList { "setpriv", QString("--reuid=%1").arg(id), QString("--regid=%1").arg(id), "--init-groups",
        "--" }
    + command;
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
    explicit Listener(uint id)
    {
        const QStringList command = as(id,
            { "dbus-monitor", "--system", QString("type='signal',sender='%1'").arg(service),
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
    // Destroyed in reverse order: the daemon first, the mounts last.
    std::unique_ptr<PrivateMounts> m_mounts;
    QTemporaryDir m_dir;
    uint m_member = 0;
    uint m_outsider = 0;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;

    // Copies of /etc/passwd and /etc/group without the test's names, plus the two users and the
    // "embosser" group with the member in it (as a supplementary group, like the embosser's
    // service accounts), mounted over the originals. Each id is free as a user and a group id.
    QString addAccounts()
    {
        uint ids[3] = {};
        for (uint id = 61000, i = 0; i < 3; ++id) {
            if (!::getpwuid(id) && !::getgrgid(id)) {
                ids[i++] = id;
            }
        }
        m_member = ids[0];
        m_outsider = ids[1];
        const QString files[] = { "/etc/passwd", "/etc/group" };
        const QString user("%1:x:%2:%2::/nonexistent:/usr/sbin/nologin\n");
        const QString group("%1:x:%2:%3\n");
        const QString added[] = { user.arg("cm-test-member").arg(ids[0]) + user.arg("cm-test-outsider").arg(ids[1]),
            group.arg("cm-test-member").arg(ids[0]).arg("") + group.arg("cm-test-outsider").arg(ids[1]).arg("")
                + group.arg("embosser").arg(ids[2]).arg("cm-test-member") };
        for (int i = 0; i < 2; ++i) {
            QFile file(files[i]);
            QByteArray content;
            for (const QByteArray& line :
                (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()).split('\n')) {
                const QByteArray name = line.split(':').first();
                if (!line.isEmpty() && name != "cm-test-member" && name != "cm-test-outsider" && name != "embosser") {
                    content += line + '\n';
                }
            }
            content += added[i].toLatin1();
            QFile copy(m_dir.filePath(QString::number(i)));
            if (!file.isOpen() || !copy.open(QIODevice::WriteOnly) || copy.write(content) != content.size()
                || !copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther)
                || !m_mounts->bind(copy.fileName(), files[i])) {
                return "cannot mount a copy over " + files[i] + ": " + m_mounts->error();
            }
        }
        return QString();
    }

    // A bus configuration of the machine's system bus policy, limits, type and authentication,
    // with a socket of its own and the service's policy file, as the system bus includes system.d.
    QString writeBusConfiguration(const QString& target)
    {
        QFile in("/usr/share/dbus-1/system.conf");
        QFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
            return QString("cannot copy %1 to %2").arg(in.fileName(), target);
        }
        QXmlStreamReader reader(&in);
        QXmlStreamWriter writer(&out);
        for (int depth = 0; !reader.atEnd();) {
            reader.readNext();
            if (reader.isStartElement() && ++depth == 2
                && !QStringList { "type", "auth", "policy", "limit" }.contains(reader.name().toString())) {
                reader.skipCurrentElement();
                --depth;
            } else if (reader.isEndElement() && depth-- == 1) {
                writer.writeTextElement("listen", "unix:path=" + m_dir.filePath("system_bus_socket"));
                writer.writeTextElement("include", TestRoot::sourceDir() + QString("/dbus/%1.conf").arg(service));
                writer.writeCurrentToken(reader);
            } else if (!reader.isComment()) {
                writer.writeCurrentToken(reader);
            }
        }
        return reader.hasError() ? in.fileName() + ": " + reader.errorString() : QString();
    }

private slots:
    void initTestCase()
    {
        for (const char* tool : { "setpriv", "dbus-daemon", "dbus-monitor", "dbus-send", "gdbus" }) {
            QVERIFY2(CommandLineClient::isInstalled(tool),
                qPrintable(QString("%1 is missing; scripts/lib.sh lists its package").arg(tool)));
        }
        m_mounts = std::make_unique<PrivateMounts>();
        QVERIFY2(m_mounts->isValid(), qPrintable(m_mounts->error()));
        // Every user of the test reaches the bus socket in here.
        QVERIFY(m_dir.isValid()
            && QFile::setPermissions(m_dir.path(),
                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                    | QFile::ReadOther | QFile::ExeOther));
        const QString accountProblem = addAccounts();
        QVERIFY2(accountProblem.isEmpty(), qPrintable(accountProblem));
        const QString configurationProblem = writeBusConfiguration(m_dir.filePath("system.conf"));
        QVERIFY2(configurationProblem.isEmpty(), qPrintable(configurationProblem));
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>(m_dir.filePath("system.conf"));
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
        const Outcome outcome = run(who == "root" ? command : as(who == "member" ? m_member : m_outsider, command));
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
        Listener member(m_member);
        Listener outsider(m_outsider);
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
