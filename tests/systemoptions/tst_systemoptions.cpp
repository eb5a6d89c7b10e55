// The `SystemOptions` command through the service's dispatch on a shipped root, the simulated
// tools recording what it ran: the time-zone link and its swapped sign, zones and date texts that
// try to reach other files or other commands, the model, and the command lines of a backup and a
// restore, with the services restarted only after a restore that worked.
#include "ConfigurationManager.h"
#include "DataRow.h"
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "ls/Command.h"
#include "systeminfo/SystemSettings.h"
#include "systemoptions/SystemOptSettings.h"
#include "systemoptions/SystemOptions.h"

#include <QFileInfo>
#include <QTest>

#include <memory>

namespace {
const QString localtimeLink = QStringLiteral("/etc/localtime");
const QString zones = QStringLiteral("/usr/share/zoneinfo/Etc/");
} // namespace

class TestSystemOptions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;

    static QVariantMap request(const QString& subCommand, const QVariantMap& arguments)
    {
        QVariantMap request = arguments;
        request.insert("commandId", "SystemOptions");
        request.insert("subCommandId", subCommand);
        request.insert("senderId", "Panel");
        return request;
    }
    QVariantMap process(const QString& subCommand, const QVariantMap& arguments = {})
    {
        return m_manager->process(request(subCommand, arguments));
    }
    static QString outcome(const QVariantMap& result)
    {
        return result.value("resultId").toString() + ' ' + result.value("errorId").toString();
    }
    QString linkTarget() const { return QFileInfo(m_root->file(localtimeLink)).symLinkTarget(); }
    QList<QStringList> calls(const QString& program) const { return SimCalls(m_root->path()).of(program); }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
    }

    void init() { SimCalls(m_root->path()).clear(); }

    // Clients use the everyday sign, the zone files the POSIX one.
    void timeZoneLink()
    {
        QCOMPARE(process("GetTimeZone").value("timeZone"), QVariant("GMT+1"));
        QCOMPARE(outcome(process("SetTimeZone", { { "timeZone", "GMT+2" } })), QString("Success Undefined"));
        QCOMPARE(linkTarget(), m_root->file(zones + "GMT-2"));
        QCOMPARE(calls("ln"),
            (QList<QStringList> { { "-sf", m_root->file(zones + "GMT-2"), m_root->file(localtimeLink) } }));
        QCOMPARE(process("GetTimeZone").value("timeZone"), QVariant("GMT+2"));
        QCOMPARE(outcome(process("SetTimeZone", { { "timeZone", "GMT" } })), QString("Success Undefined"));
        QCOMPARE(linkTarget(), m_root->file(zones + "GMT"));
        QCOMPARE(process("GetTimeZone").value("timeZone"), QVariant("GMT"));

        // A named region is no GMT zone: read as empty.
        QVERIFY(m_root->writeFile("/usr/share/zoneinfo/Europe/Stockholm", "TZif"));
        QFile::remove(m_root->file(localtimeLink));
        QVERIFY(QFile::link(m_root->file("/usr/share/zoneinfo/Europe/Stockholm"), m_root->file(localtimeLink)));
        const QVariantMap region = process("GetTimeZone");
        QCOMPARE(outcome(region), QString("Success Undefined"));
        QCOMPARE(region.value("timeZone"), QVariant(QString()));
    }

    // Only an existing Etc zone file is linked; nothing else reaches ln.
    void hostileTimeZones_data()
    {
        QTest::addColumn<QString>("zone");
        for (const char* zone : { "../GMT", "../../../../etc/passwd", "/usr/share/zoneinfo/Etc/GMT", "GMT+2/../../x",
                 "GMT+2/", "Europe/Stockholm", "GMT-13", "GMT+123", "gmt+2", "GMT+2\n", "GMT+2 ", "" }) {
            row(zone, QString(zone));
        }
        row("NUL", QString("GMT") + QChar(0));
    }

    void hostileTimeZones()
    {
        QFETCH(QString, zone);
        const QString before = linkTarget();
        LogCapture log;
        QCOMPARE(outcome(process("SetTimeZone", { { "timeZone", zone } })), QString("Failure InvalidValue"));
        QVERIFY(log.contains("SystemOptions::setTimeZone ERROR: unknown time zone"));
        QVERIFY(calls("ln").isEmpty());
        QCOMPARE(linkTarget(), before);
    }

    // Whatever the text, date gets it as the one argument after -s; a shell never sees it.
    void dateTextsReachDateLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        row("a date", QString("2031-05-06 07:08"), QString("Success Undefined"));
        row("command separator", QString("2031-05-06; reboot"), QString("Failure Undefined"));
        row("command substitution", QString("$(reboot)"), QString("Failure Undefined"));
        row("quotes and an option", QString("' -s 'now"), QString("Failure Undefined"));
    }

    void dateTextsReachDateLiterally()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(outcome(process("SetDateTime", { { "dateTime", text } })), result);
        QCOMPARE(calls("date"), (QList<QStringList> { { "-s", text } }));
        QVERIFY(calls("reboot").isEmpty());
        QVERIFY(!QFileInfo::exists(m_root->file("/var/lib/sim/reboots")));
    }

    void model()
    {
        const QString model = process("GetModel").value("model").toString();
        QVERIFY(!model.isEmpty());
        QCOMPARE(outcome(process("SetModel", { { "model", "" } })), QString("Failure Undefined"));
        QCOMPARE(
            outcome(process("SetModel", { { "model", model + "'; reboot; '" } })), QString("Failure InvalidValue"));
        QCOMPARE(outcome(process("SetModel", { { "model", "../" + model } })), QString("Failure InvalidValue"));
        QVERIFY(calls("embosser-settings.sh").isEmpty());
        QCOMPARE(outcome(process("SetModel", { { "model", model } })), QString("Success Undefined"));
        QCOMPARE(calls("embosser-settings.sh"), (QList<QStringList> { { "-a", "-c", "-m", model } }));
    }

    // The documented command lines, and the services restarted only after a restore that worked.
    void backupAndRestore()
    {
        int restarts = 0;
        const SystemOptSettings settings(*m_manager->systemSettings()->embosserConf());
        SystemOptions options(settings, [&restarts] { ++restarts; });
        QCOMPARE(
            outcome(options.process(ls::Command(request("BackupConfigInternal", {})))), QString("Success Undefined"));
        QCOMPARE(
            outcome(options.process(ls::Command(request("RestoreConfigInternal", {})))), QString("Success Undefined"));
        QCOMPARE(calls("embosser-backup.sh"),
            (QList<QStringList> { { "-b", "-s", "config", "-d", "internal:config" },
                { "-r", "-d", "config", "-s", "internal:config" } }));
        QCOMPARE(restarts, 1);

        // No stick mounted: the script fails and nothing is restarted.
        QCOMPARE(outcome(options.process(ls::Command(request("RestoreConfigUsb", {})))), QString("Failure Undefined"));
        QCOMPARE(calls("embosser-backup.sh").last(), (QStringList { "-r", "-d", "config", "-s", "usb:config" }));
        QCOMPARE(restarts, 1);
    }

    void badRequests_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("errorId");
        row("SetDateTime without a date", "SetDateTime", QVariantMap(), "ValueNotFound");
        row("SetDateTime with a number", "SetDateTime", QVariantMap { { "dateTime", 1700000000 } }, "InvalidValue");
        row("SetTimeZone without a zone", "SetTimeZone", QVariantMap(), "ValueNotFound");
        row("SetTimeZone with a list", "SetTimeZone", QVariantMap { { "timeZone", QStringList { "GMT" } } },
            "InvalidValue");
        row("SetModel without a model", "SetModel", QVariantMap(), "ValueNotFound");
        row("SetModel with a map", "SetModel", QVariantMap { { "model", QVariantMap { { "a", 1 } } } }, "InvalidValue");
        row("SaveFlashInfo without restart", "SaveFlashInfo", QVariantMap(), "ValueNotFound");
        row("SaveFlashInfo with a number", "SaveFlashInfo", QVariantMap { { "restart", 1 } }, "InvalidValue");
        row("unknown sub-command", "SetTime", QVariantMap(), "InvalidSubCmd");
    }

    void badRequests()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, errorId);
        const QString target = linkTarget();
        LogCapture log;
        QCOMPARE(outcome(process(subCommand, arguments)), "Failure " + errorId);
        QVERIFY(log.contains("ERROR:"));
        QVERIFY(SimCalls(m_root->path()).all().isEmpty());
        QCOMPARE(linkTarget(), target);
    }

    void flashInformationWithoutRestart()
    {
        QCOMPARE(outcome(process("SaveFlashInfo", { { "restart", false } })), QString("Success Undefined"));
        QCOMPARE(calls("embosser-factory.sh"), (QList<QStringList> { { "-s" } }));
    }
};

QTEST_GUILESS_MAIN(TestSystemOptions)
#include "tst_systemoptions.moc"
