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
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <utility>

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
        QTest::newRow("traversal") << service("../../../var/lib/embosser") << invalid << "no service named";
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

    // A log that cannot be read is a failure, never an empty text; the change log is read and cleared.
    void logs()
    {
        const auto text = [this](const QString& subCommand, const QString& key, const QVariantMap& data = {}) {
            const QVariantMap answer = m_manager->process(request(subCommand, data));
            return answer.contains(key) ? answer.value(key).toString().toUtf8() : resultOf(answer).toUtf8();
        };
        const QVariantMap printManager { { ls::serviceNameKey, "print-manager" } };
        QCOMPARE(text("GetServiceLogs", ls::serviceLogsKey, printManager),
            m_root->readFile("/var/log/print-manager/current"));
        QCOMPARE(text("GetSystemLogs", ls::systemLogsKey), m_root->readFile("/var/log/messages"));
        QCOMPARE(text("GetServiceLogs", ls::serviceLogsKey, { { ls::serviceNameKey, "speech-daemon" } }),
            QByteArray("Failure Undefined"));
        QVERIFY(QFile::remove(m_root->file(errorLog)));
        LogCapture log;
        QCOMPARE(text("GetErrorLogs", ls::errorLogsKey), QByteArray("Failure Undefined"));
        QVERIFY(log.contains("SystemInfo::getErrorLogs FAILED! reading"));

        QVERIFY(m_root->writeFile(changeLog, "a change\n"));
        QCOMPARE(text("ReadLogs", ls::textKey), QByteArray("a change\n"));
        QCOMPARE(text("ClearLogs", ls::textKey), QByteArray("Success Undefined"));
        QVERIFY(!QFile::exists(m_root->file(changeLog)));
        QCOMPARE(text("ClearLogs", ls::textKey), QByteArray("Success Undefined"));
    }

    void packageListThroughTheShell()
    {
        SimCalls calls(m_root->path());
        calls.clear();
        const QVariantMap answer = m_manager->process(request("GetPackageList"));
        QCOMPARE(resultOf(answer), QString("Success Undefined"));
        const QStringList lines = answer.value(ls::packageListKey).toString().split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains("Package: busybox") && lines.size() > 10);
        QCOMPARE(lines.filter(QRegularExpression("^(Package|Version): ")), lines);
        QCOMPARE(calls.of("ash"), QList<QStringList>({ { "-c", "opkg status | grep 'Package\\|Version'" } }));
    }

    void informationMap()
    {
        const QVariantMap answer = m_manager->process(request("GetSystemInfo"));
        QCOMPARE(resultOf(answer), QString("Success Undefined"));
        for (const auto& [key, value] : { std::pair { "feedType", "ManualSheet" }, { "headType", "TwoSided" },
                 { "pnpCid", "CORVANE_ZEN" }, { "model", "Corvane Zentra" }, { "serialNo", "30158" } }) {
            QCOMPARE(answer.value(key).toString(), QString(value));
        }
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
