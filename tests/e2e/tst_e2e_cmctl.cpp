// cmctl against the built daemon on a private bus: each family once, its exit statuses, --json
// read back, the overload of a direct method chosen by the values given, `layout set` showing
// what the service repaired, and `watch` seeing a change that another client made.
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {
struct Run {
    int status = -1;
    QString out;
    QString err;
    QVariantMap json() const { return QJsonDocument::fromJson(out.toUtf8()).toVariant().toMap(); }
};

QString program()
{
    return TestRoot::binaryDir() + QStringLiteral("/cli/cmctl");
}

Run cmctl(const QStringList& arguments)
{
    QProcess process;
    process.start(program(), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

class TestE2eCmctl : public QObject {
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
        m_daemon = std::make_unique<DaemonProcess>(m_root->path());
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown command") << QStringList { "frobnicate" } << 2 << "unknown command";
        QTest::newRow("unknown option") << QStringList { "status", "--save" } << 2 << "no option --save";
        QTest::newRow("unknown name") << QStringList { "get", "NoSuchThing" } << 2 << "unknown name";
        QTest::newRow("value of no overload") << QStringList { "set", "HTTPS", "on" } << 2 << "does not convert to int";
        QTest::newRow("refused deletion") << QStringList { "layout", "delete", "1" } << 1 << "Undefined";
        QTest::newRow("unknown sub-command") << QStringList { "call", "Layout", "Nope" } << 1 << "InvalidSubCmd";
        QTest::newRow("text for a number")
            << QStringList { "call", "Layout", "SetActive", "layoutNr=b:true" } << 1 << "InvalidValue";
        QTest::newRow("no bus") << QStringList { "--address", "unix:path=/nonexistent/bus", "status" } << 3
                                << "cannot connect";
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = cmctl(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    void statusAndDirectMethods()
    {
        const QVariantMap state = cmctl({ "--json", "status" }).json();
        QCOMPARE(state.value("activeLayout").toInt(), 1);
        QCOMPARE(state.value("nrOfLayouts").toInt(), 6);
        QCOMPARE(state.value("https"), QVariant(false));
        QVERIFY(!state.value("model").toString().isEmpty());
        // The shipped root links the zone file GMT-1, one hour east: GMT+1 in the everyday sign.
        QCOMPARE(state.value("timeZone").toString(), QString("GMT+1"));

        // The value, catalog and save flag given pick the overload; the answer shows which.
        // A negative number is a value, not an option.
        QCOMPARE(cmctl({ "--json", "set", "TopOfForm", "-1.5" }).json().value("signature"), QVariant("d"));
        QCOMPARE(cmctl({ "set", "TopOfForm", "12.5" }).status, 0);
        QCOMPARE(cmctl({ "get", "topofform" }).out.trimmed(), QString("12.5"));
        QCOMPARE(cmctl({ "--json", "set", "HTTPS", "1", "--save" }).json().value("signature"), QVariant("isb"));
        QCOMPARE(cmctl({ "--json", "get", "HTTPS", "--catalog", "masterCollectionKey" }).json(),
            QVariantMap({ { "method", "getHTTPS" }, { "signature", "s" }, { "value", 1 } }));
        QVERIFY(m_root->readFile("/var/lib/embosser/parameters").contains("\"HTTPS\": 1"));
        const QVariantMap keyed = cmctl({ "--json", "get", "IntValue", "Hammer batch" }).json();
        QCOMPARE(keyed.value("signature"), QVariant("s"));
    }

    void layoutSetShowsRepairsAndWatchSeesActivation()
    {
        const QVariantMap before = cmctl({ "--json", "layout", "show", "2" }).json();
        const Run set
            = cmctl({ "--json", "layout", "set", "2", "Duplexing=Double sided", "BrailleLineSpacing=Double" });
        QCOMPARE(set.status, 0);
        const QVariantMap answer = set.json();
        QCOMPARE(answer.value("changed").toMap().value("Duplexing").toMap().value("to"), QVariant("Double sided"));
        const QVariantMap repaired = answer.value("repaired").toMap();
        QVERIFY2(!repaired.isEmpty(), qPrintable(set.out));
        const QVariantMap after = cmctl({ "--json", "layout", "show", "2" }).json();
        for (auto it = repaired.constBegin(); it != repaired.constEnd(); ++it) {
            QCOMPARE(it.value().toMap().value("from"), before.value(it.key()));
            QCOMPARE(it.value().toMap().value("to"), after.value(it.key()));
        }
        QVERIFY(cmctl({ "layout", "set", "2", "LinePerPage=999" }).err.contains("InvalidValue"));

        QProcess watch;
        watch.setReadChannel(QProcess::StandardError);
        watch.start(program(), { "--json", "watch", "--count", "1" });
        QDeadlineTimer deadline(20000);
        QString watching;
        while (!watching.contains("watching") && !deadline.hasExpired() && watch.waitForReadyRead(1000)) {
            watching += QString::fromUtf8(watch.readAllStandardError());
        }
        QVERIFY2(watching.contains("watching"), qPrintable(watching));
        QCOMPARE(cmctl({ "layout", "activate", "3" }).status, 0);
        QVERIFY(watch.waitForFinished(20000));
        QCOMPARE(watch.exitCode(), 0);
        QCOMPARE(QJsonDocument::fromJson(watch.readAllStandardOutput()).toVariant().toMap(),
            QVariantMap({ { "notificationId", "LayoutChange" }, { "actionId", "SetActive" }, { "senderId", "Panel" },
                { "layoutNr", 3 } }));
        const QVariantList layouts = cmctl({ "--json", "layout", "list" }).json().value("layoutList").toList();
        QCOMPARE(layouts.size(), 6);
        QCOMPARE(layouts.at(2).toMap().value("active"), QVariant(true));

        // A backup offered by the embosser and restored from there makes layout 1 active again.
        QCOMPARE(cmctl({ "layout", "backup", "1", "3" }).status, 0);
        const QVariantMap backups = cmctl({ "--json", "layout", "backups", "local" }).json();
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().toStringList(), QStringList({ "layout.1", "layout.3" }));
        QCOMPARE(cmctl({ "layout", "restore", "local", backups.firstKey(), "3" }).status, 0);
    }

    void papersTablesAndCalls()
    {
        const int paper = cmctl({ "--json", "paper", "add", "200", "280" }).json().value("paperNr").toInt();
        QVERIFY(paper > 0);
        QCOMPARE(cmctl({ "--json", "paper", "list" }).json().value("nrOfPapers").toInt(), 1);
        QCOMPARE(cmctl({ "paper", "delete", QString::number(paper) }).status, 0);

        const QVariantMap tables = cmctl({ "--json", "table", "list", "--dots", "6" }).json();
        QCOMPARE(tables.value("liblouisTables").toMap().keys(), QStringList({ "6 dots" }));
        QCOMPARE(cmctl({ "table", "info", "Klingon", "standard" }).status, 1);
        QCOMPARE(cmctl({ "--json", "table", "info", "English", "UK_computer_6_dot.ebc" }).json().value("dots:"),
            QVariant(6));

        QCOMPARE(cmctl({ "--json", "call", "Layout", "GetActive" }).json().value("activeLayout").toInt(), 1);
        QCOMPARE(cmctl({ "call", "Layout", "SetActive", "layoutNr=2" }).status, 0);

        // What the bash completion offers comes from the running service.
        QVERIFY(cmctl({ "__complete", "get" }).out.split('\n').contains("HTTPS"));
        QVERIFY(cmctl({ "__complete", "layout-parameters" }).out.split('\n').contains("LinePerPage="));
    }
};

QTEST_GUILESS_MAIN(TestE2eCmctl)
#include "tst_e2e_cmctl.moc"
