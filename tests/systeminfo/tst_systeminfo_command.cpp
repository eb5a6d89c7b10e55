// The SystemInfo command through the service's dispatcher: the refusals (unknown sub-command,
// missing or hostile service names, none of which reads a file), the logs and their failures,
// the package query through the simulated shell, and the information map's keys.
#include "ConfigurationManager.h"
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {
const QString errorLog = QStringLiteral("/var/lib/error-handler/log-error");
const QString changeLog = QStringLiteral("/var/lib/configuration-manager/parameters-logs");

QVariantMap request(const QString& subCommand, const QVariantMap& data = QVariantMap())
{
    QVariantMap map { { ls::commandIdKey, "SystemInfo" }, { ls::subCommandIdKey, subCommand },
        { ls::senderIdKey, "WebServer" } };
    map.insert(data);
    return map;
}

QString resultOf(const QVariantMap& answer)
{
    return answer.value(ls::resultIdKey).toString() + ' ' + answer.value(ls::errorIdKey).toString();
}
} // namespace

class TestSystemInfoCommand : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // A supervised service whose log folder is a link out of the log tree.
        QVERIFY(QDir().mkpath(m_root->file("/etc/sv/linked")));
        QVERIFY(QFile::link(m_root->file("/var/lib/embosser"), m_root->file("/var/log/linked")));
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
    }

    void refusals_data()
    {
        QTest::addColumn<QVariantMap>("request");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        const auto service = [](const QVariant& name) {
            return request("GetServiceLogs", { { ls::serviceNameKey, name } });
        };
        const QString invalid = "Failure InvalidValue";
        QTest::newRow("unknown sub-command") << request("GetKernelLogs") << "Failure InvalidSubCmd"
                                             << "SystemInfo::process ERROR: GetKernelLogs subcommand not found!";
        QTest::newRow("no service name") << request("GetServiceLogs") << "Failure ValueNotFound"
                                         << "SystemInfo::getServiceLogs ERROR: data does not contain serviceName";
        QTest::newRow("name not a text") << service(7) << invalid << "serviceName is not a text!";
        QTest::newRow("empty name") << service("") << invalid << "no service named";
        QTest::newRow("traversal") << service("../../../var/lib/embosser") << invalid << "no service named";
        QTest::newRow("dot dot") << service("..") << invalid << "no service named";
        QTest::newRow("the tree itself") << service(".") << invalid << "no service named";
        QTest::newRow("separator") << service("print-manager/log") << invalid << "no service named";
        QTest::newRow("NUL") << service(QString("print-manager") + QChar(0) + "x") << invalid << "no service named";
        QTest::newRow("shell") << service("$(reboot); rm -rf /") << invalid << "no service named";
        QTest::newRow("a log folder that is no service") << service("sim") << invalid << "no service named sim";
        QTest::newRow("log folder linked outside")
            << service("linked") << invalid << "the log of linked lies outside the log folder";
    }

    // Every refusal is answered and logged, and no log file is read for it.
    void refusals()
    {
        QFETCH(QVariantMap, request);
        QFETCH(QString, result);
        QFETCH(QString, message);
        LogCapture log;
        const QVariantMap answer = m_manager->process(request);
        QCOMPARE(resultOf(answer), result);
        QVERIFY(!answer.contains(ls::serviceLogsKey));
        QVERIFY2(log.contains(message), qPrintable(log.messages().join('\n')));
    }

    void logs()
    {
        const QVariantMap service
            = m_manager->process(request("GetServiceLogs", { { ls::serviceNameKey, "print-manager" } }));
        QCOMPARE(resultOf(service), QString("Success Undefined"));
        QCOMPARE(
            service.value(ls::serviceLogsKey).toString().toUtf8(), m_root->readFile("/var/log/print-manager/current"));
        const QVariantMap system = m_manager->process(request("GetSystemLogs"));
        QCOMPARE(system.value(ls::systemLogsKey).toString().toUtf8(), m_root->readFile("/var/log/messages"));
        QVERIFY(!system.value(ls::systemLogsKey).toString().isEmpty());
        // A service without a log yet is a failure, as is a missing error log: never an empty text.
        QCOMPARE(resultOf(m_manager->process(request("GetServiceLogs", { { ls::serviceNameKey, "speech-daemon" } }))),
            QString("Failure Undefined"));
        QVERIFY(QFile::remove(m_root->file(errorLog)));
        LogCapture log;
        const QVariantMap error = m_manager->process(request("GetErrorLogs"));
        QCOMPARE(resultOf(error), QString("Failure Undefined"));
        QVERIFY(!error.contains(ls::errorLogsKey));
        QVERIFY(log.contains("SystemInfo::getErrorLogs FAILED! reading"));
        QVERIFY(m_root->restoreShipped(errorLog));
        QCOMPARE(m_manager->process(request("GetErrorLogs")).value(ls::errorLogsKey).toString().toUtf8(),
            m_root->readFile(errorLog));

        // The parameter change log is read whole and cleared; both always succeed.
        QVERIFY(m_root->writeFile(
            changeLog, "2026-01-02 / 10:00 - \"Volume\" - previous value \"low\", new value \"high\".\n"));
        QVERIFY(m_manager->process(request("ReadLogs")).value(ls::textKey).toString().contains("\"Volume\""));
        QCOMPARE(resultOf(m_manager->process(request("ClearLogs"))), QString("Success Undefined"));
        QVERIFY(!QFile::exists(m_root->file(changeLog)));
        QCOMPARE(resultOf(m_manager->process(request("ClearLogs"))), QString("Success Undefined"));
        QCOMPARE(m_manager->process(request("ReadLogs")).value(ls::textKey).toString(), QString());
    }

    void packageListThroughTheShell()
    {
        SimCalls calls(m_root->path());
        calls.clear();
        const QVariantMap answer = m_manager->process(request("GetPackageList"));
        QCOMPARE(resultOf(answer), QString("Success Undefined"));
        const QStringList lines = answer.value(ls::packageListKey).toString().split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains("Package: busybox"));
        QVERIFY(lines.size() > 10);
        for (const QString& line : lines) {
            QVERIFY2(line.startsWith("Package: ") || line.startsWith("Version: "), qPrintable(line));
        }
        QCOMPARE(calls.of("ash"), QList<QStringList>({ { "-c", "opkg status | grep 'Package\\|Version'" } }));
    }

    void informationMap()
    {
        const QVariantMap answer = m_manager->process(request("GetSystemInfo"));
        QCOMPARE(resultOf(answer), QString("Success Undefined"));
        QCOMPARE(answer.value("feedType").toString(), QString("ManualSheet"));
        QCOMPARE(answer.value("headType").toString(), QString("TwoSided"));
        QCOMPARE(answer.value("pnpCid").toString(), QString("CORVANE_ZEN"));
        QCOMPARE(answer.value("model").toString(), QString("Corvane Zentra"));
        QCOMPARE(answer.value("serialNo").toString(), QString("30158"));
        QVERIFY(answer.value(ls::firmwareKey).toString().startsWith("2025-10-14"));
        QVERIFY(answer.contains("hammerBatch") && answer.contains("printSpeedText"));
        // Typed by the parameter's definition before the key is formed: 0 in the file is a double here.
        QCOMPARE(answer.value("adjustStandbyPos").userType(), int(QMetaType::Double));
        for (const QString& key : answer.keys()) {
            QVERIFY2(!key.contains(' ') && !key.contains('_') && key.at(0).isLower(), qPrintable(key));
        }
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoCommand)
#include "tst_systeminfo_command.moc"
