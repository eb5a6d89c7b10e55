// System utilities: scripts and tools run through the simulated embosser (command lines, shell
// quoting of outside values, failures, time-outs), the EEPROM fields, the inch-code and step
// conversions, the file helpers and the parameter change log.
#include "DataRow.h"
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"

#include "Locations.h"
#include "System.h"
#include "Utils.h"
#include "libcorvane/Singleton.h"
#include "log/Logger.h"
#include "ls/JFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Runs one of the script-backed operations by name, so one table drives them all.
bool runOperation(const QString& operation, const QString& value)
{
    const QHash<QString, std::function<bool()>> operations {
        { "setEmbosserModel", [&] { return System::setEmbosserModel(value); } },
        { "resetFile", [&] { return System::resetFile(value); } },
        { "serviceRestart", [&] { return System::serviceRestart(value); } },
        { "resetSettingsForFlashModel", [] { return System::resetSettingsForFlashModel(); } },
        { "saveFlashInfo", [] { return System::saveFlashInfo(false); } },
        { "saveFlashInfo restart", [] { return System::saveFlashInfo(true); } },
        // An upgrade in progress restarts the machine itself.
        { "saveFlashInfo restart during upgrade",
            [] {
                Utils::createFile(Locations::upgradeMarkerFile());
                const bool result = System::saveFlashInfo(true);
                QFile::remove(Locations::upgradeMarkerFile());
                return result;
            } },
    };
    return operations.value(operation)();
}

} // namespace

class TstSystem : public QObject {
    Q_OBJECT

    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<SimCalls> m_calls;

    void setToolFails(const QString& tool, bool fails) const
    {
        const QString marker = "/var/lib/sim/fail/" + tool;
        QVERIFY(fails ? m_root->writeFile(marker, QByteArray()) : QFile::remove(m_root->file(marker)));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_calls = std::make_unique<SimCalls>(m_root->path());
        // The change log warns when it cannot read its file; a test asserts that line.
        QLoggingCategory::setFilterRules("Logger.warning=true");
    }

    void init() { m_calls->clear(); }

    void waitForProcess_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QString>("message");
        const QString prefix = "System::waitForProcess ";
        row("non-zero", QStringList { "sh", "-c", "exit 3" }, 10000,
            prefix + "FAILED! process sh -c exit 3 exited with non-zero status: 3");
        row("crash", QStringList { "sh", "-c", "kill -SEGV $$" }, 10000, "crashed.");
        row("missing program", QStringList { "no-such-program-anywhere" }, 10000, "failed to start");
        row("timeout", QStringList { "sh", "-c", "echo ready; exec sleep 60" }, 200,
            prefix + "ERROR: Timout waiting for process: sh -c echo ready;");
        // The ignored TERM survives exec, so the sleep itself must be killed.
        row("timeout, TERM ignored", QStringList { "sh", "-c", "trap '' TERM; echo ready; exec sleep 60" }, 200,
            "Timeout waiting for process to terminate.");
    }

    void waitForProcess()
    {
        QFETCH(QStringList, command);
        QFETCH(int, timeoutMs);
        QFETCH(QString, message);
        const bool timesOut = timeoutMs < 1000;
        const bool ignoresTerminate = command.join(' ').contains("trap");
        QProcess process;
        process.start(command.takeFirst(), command);
        // Let the shell set its trap before the time-out runs.
        QVERIFY(!timesOut || process.waitForReadyRead(10000));
        LogCapture log;
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!System::waitForProcess(process, timeoutMs));
        QVERIFY(elapsed.elapsed() < 5000);
        QCOMPARE(process.state(), QProcess::NotRunning);
        QVERIFY2(log.contains(message), qPrintable(log.messages().join('\n')));
        // A program that never started is not a time-out; a killed one is not reported as surviving.
        QCOMPARE(log.contains("Timout waiting for process:"), timesOut);
        QCOMPARE(log.contains("to terminate."), ignoresTerminate);
        QVERIFY(!log.contains("Timeout waiting for process to die."));
    }

    void scriptCommands_data()
    {
        // The row name is the operation; a value from outside comes last in the command.
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("failure");
        const QString settings = "embosser-settings.sh";
        // The documented line "-m 'Corvane Zentra'" gives the script the name as one argument.
        row("setEmbosserModel", QStringList { settings, "-a", "-c", "-m", "Corvane Zentra" },
            "System::setEmbosserModel FAILED!");
        row("resetSettingsForFlashModel", QStringList { settings, "-a", "-c" },
            "System::resetSettingsForFlashModel FAILED!");
        row("resetFile", QStringList { settings, "-f", "layout.3" },
            "System::resetFile FAILED! reset of file with script layout.3 failed!");
        row("serviceRestart", QStringList { "sv", "restart", "lighttpd" },
            "System::serviceRestart ERROR: sv restart 'lighttpd'  for lighttpd");
        row("saveFlashInfo", QStringList { "embosser-factory.sh", "-s" }, "System::saveFlashInfo FAILED!");
        row("saveFlashInfo restart", QStringList { "embosser-factory.sh", "-s", "-r" },
            "System::saveFlashInfo FAILED!");
        row("saveFlashInfo restart during upgrade", QStringList { "embosser-factory.sh", "-s" },
            "System::saveFlashInfo FAILED!");
    }

    void scriptCommands()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, failure);
        const QString operation = QTest::currentDataTag();
        const QString tool = command.takeFirst();
        const bool takesValue = QStringList { "setEmbosserModel", "resetFile", "serviceRestart" }.contains(operation);
        const QString value = takesValue ? command.last() : QString();
        QVERIFY(runOperation(operation, value));
        QCOMPARE(m_calls->of(tool), QList<QStringList> { command });

        setToolFails(tool, true);
        LogCapture log;
        const bool failed = !runOperation(operation, value);
        setToolFails(tool, false);
        QVERIFY(failed);
        QVERIFY2(log.contains(failure), qPrintable(log.messages().join('\n')));
        if (!takesValue) {
            return;
        }
        // A hostile value reaches the tool as one literal argument: a quote that would end the
        // quoting, a separator, command substitution in both forms.
        QTemporaryDir markers;
        QVERIFY(markers.isValid());
        command.last()
            = QString("Zentra' ; touch %1/semi ; $(touch %1/dollar) `touch %1/tick` \"x").arg(markers.path());
        m_calls->clear();
        runOperation(operation, command.last());
        QCOMPARE(m_calls->of(tool), QList<QStringList> { command });
        QCOMPARE(QDir(markers.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        // A NUL would cut the argument short: refused before anything runs.
        m_calls->clear();
        QVERIFY(!runOperation(operation, QString("a") + QChar(0) + "b"));
        QVERIFY(m_calls->all().isEmpty());
    }

    void flashParameters()
    {
        // Stored and read back as text, shell characters and all.
        const QString model = "Z' $(touch y); `z` \\";
        QVERIFY(System::setFlashParameter("printer.hw.model", model));
        QCOMPARE(System::getEmbosserModel(), model);
        QCOMPARE(
            m_calls->of("eeprom-handler"), (QList<QStringList> { { "-s", "Model", "-b", model }, { "-g", "Model" } }));

        setToolFails("eeprom-handler", true);
        LogCapture log;
        const bool set = System::setFlashParameter("printer.hw.serial", "1");
        const QVariant got = System::getFlashParameter("printer.hw.serial");
        setToolFails("eeprom-handler", false);
        QVERIFY(!set && got.isNull());
        QVERIFY(log.contains("System::setFlashParameter FAILED! Unable to set EEPROM value Serial"));
        QVERIFY(log.contains("System::getFlashParameter FAILED! Unable to get EEPROM value Serial"));

        // Refused before the tool runs.
        m_calls->clear();
        QVERIFY(!System::setFlashParameter("printer.hw.serial", QVariantMap { { "a", 1 } }));
        QVERIFY(System::getFlashParameter("printer.hw.unknown").isNull());
        QVERIFY(!System::setFlashParameter("printer.hw.unknown", 1));
        QVERIFY(m_calls->all().isEmpty());
    }

    void convertInchSteps_data()
    {
        QTest::addColumn<QVariant>("stepDistance"); // invalid: no parameters file at all
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("message");
        // 0.5 mm steps: 50 steps per inch (50.8 truncated); codes 21 to 25 add 1/4, 1/3, 1/2, 2/3, 3/4.
        const int steps[] = { 112, 116, 125, 133, 137 };
        for (int code = 21; code <= 25; ++code) {
            QTest::addRow("0.5 code %d", code) << QVariant(0.5) << code << steps[code - 21] << QString();
        }
        row("0.5 code 27", QVariant(0.5), 27, 100, QString());
        row("missing file", QVariant(), 23, 0,
            "Utils::convertInchSteps FAILED! Reading parameter PF Step dist from file ");
        row("text", QVariant("half a mm"), 23, 0,
            "Utils::convertInchSteps ERROR: Converting half a mm to double value failed.");
        row("negative", QVariant(-0.5), 23, 0, "is not a usable step length.");
    }

    void convertInchSteps()
    {
        QFETCH(QVariant, stepDistance);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/parameters"));
        QVERIFY(stepDistance.isValid() ? ls::JFile().write(Locations::parametersFile(), "PF Step dist", stepDistance)
                                       : QFile::remove(Locations::parametersFile()));
        LogCapture log;
        const int result = Utils::convertInchSteps(code);
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/parameters"));
        QTEST(result, "steps");
        QVERIFY2(message.isEmpty() || log.contains(message), qPrintable(log.messages().join('\n')));
    }

    void mmToInchCode_data()
    {
        QTest::addColumn<double>("millimetres");
        QTest::addColumn<int>("code");
        row("25.4 mm", 25.4, 10);
        row("31.75 mm (1.25 in)", 31.75, 11);
        row("48.26 mm (1.9 in)", 48.26, 20);
        row("210 mm (A4 width)", 210.0, 81);
        row("297 mm (A4 length)", 297.0, 114);
        // Just below and above each band edge, at 8 inches and a fraction.
        const double edges[] = { 0.15, 0.29, 0.41, 0.58, 0.70, 0.85 };
        const int codes[] = { 80, 81, 82, 83, 84, 85, 90 };
        for (int i = 0; i < 6; ++i) {
            QTest::addRow("8 in + %.3f", edges[i] - 0.003) << 25.4 * (8 + edges[i] - 0.003) << codes[i];
            QTest::addRow("8 in + %.3f", edges[i] + 0.003) << 25.4 * (8 + edges[i] + 0.003) << codes[i + 1];
        }
    }

    void mmToInchCode()
    {
        QFETCH(double, millimetres);
        QTEST(Utils::mmToInchCode(millimetres), "code");
    }

    void fileHelpers()
    {
        const QString source = m_root->file("/tmp/copy/source");
        const QString destination = m_root->file("/tmp/copy/destination");
        QVERIFY(m_root->writeFile("/tmp/copy/source", "new\n"));
        QVERIFY(Utils::copyFile(source, destination, false));
        QCOMPARE(m_root->readFile("/tmp/copy/destination"), QByteArray("new\n"));
        QVERIFY(m_root->writeFile("/tmp/copy/destination", "old\n"));
        LogCapture log;
        QVERIFY(!Utils::copyFile(source, destination, false));
        QCOMPARE(m_root->readFile("/tmp/copy/destination"), QByteArray("old\n"));
        QVERIFY(Utils::copyFile(source, destination, true));
        QCOMPARE(m_root->readFile("/tmp/copy/destination"), QByteArray("new\n"));
        // A directory in the way cannot be removed, so it is not replaced either.
        QVERIFY(!Utils::copyFile(source, m_root->file("/tmp/copy"), true));
        QVERIFY(QFileInfo(m_root->file("/tmp/copy")).isDir());

        // The first or last lines, zero for all; failures leave the output alone.
        QVERIFY(m_root->writeFile("/tmp/read/lines", "1\n2\n3\n4\n5"));
        QString out;
        for (const auto& [count, last, expected] : { std::make_tuple(2, false, "1\n2\n"),
                 std::make_tuple(2, true, "4\n5"), std::make_tuple(0, false, "1\n2\n3\n4\n5") }) {
            QVERIFY(Utils::readFile(m_root->file("/tmp/read/lines"), out, count, last));
            QCOMPARE(out, QString(expected));
        }
        QVERIFY(!Utils::readFile(m_root->file("/tmp/read/missing"), out));
        QVERIFY(!Utils::readFile(m_root->file("/tmp/read"), out));
        QCOMPARE(out, QString("1\n2\n3\n4\n5"));

        // Parent folders are made on the way; an existing file keeps its content. The listing has
        // files only, sorted by name.
        const QString folder = m_root->file("/tmp/folders/a/b/");
        QVERIFY(Utils::createFile(folder + "layout.2"));
        QVERIFY(m_root->writeFile("/tmp/folders/a/b/layout.2", "kept"));
        QVERIFY(Utils::createFile(folder + "layout.2"));
        QCOMPARE(m_root->readFile("/tmp/folders/a/b/layout.2"), QByteArray("kept"));
        QVERIFY(Utils::createFile(folder + "layout.10") && Utils::createFile(folder + "userpaper.1"));
        QVERIFY(QDir().mkpath(folder + "layout.sub"));
        QCOMPARE(Utils::listFiles(folder, { "layout.*" }), (QStringList { "layout.10", "layout.2" }));
    }

    void changeLog()
    {
        auto& logger = libcorvane::Singleton<detail::Logger>::instance();
        logger.clear();
        logger.setEnabled(true);
        logger.setParameterName("Print speed");
        const QString before = QDateTime::currentDateTime().toString("yyyy-MM-dd / hh:mm");
        QVERIFY(logger.logChange(1, 2));
        QVERIFY(logger.logChange("2", 3.5));
        const QString after = QDateTime::currentDateTime().toString("yyyy-MM-dd / hh:mm");
        const QString text = logger.read();
        const QString time = text.left(before.size());
        QVERIFY2(time == before || time == after, qPrintable(text));
        const QString entry = "%1 - \"Print speed\" - previous value \"%2\", new value \"%3\".\n";
        QCOMPARE(text, entry.arg(time, "1", "2") + entry.arg(time, "2", "3.5"));

        // While off, a new name is not taken and nothing is written.
        QVERIFY(logger.clear());
        logger.setEnabled(false);
        logger.setParameterName("Odd low pulse time");
        QVERIFY(!logger.logChange(1, 2));
        QVERIFY(!logger.clear());
        LogCapture log;
        QCOMPARE(logger.read(), QString());
        QVERIFY(log.contains("detail::Logger::read WARN: Failed to open file: " + Locations::parameterChangeLogFile()));
        logger.setEnabled(true);
        QVERIFY(logger.logChange(1, 2));
        QVERIFY(logger.read().contains("\"Print speed\""));

        // A value cannot forge an entry: line breaks stay inside their one line.
        QVERIFY(logger.clear());
        QVERIFY(logger.logChange("a\n2026-01-01 / 00:00 - \"Serial No\"", "b\\r\r"));
        QCOMPARE(logger.read().count('\n'), 1);
        QVERIFY(logger.read().contains("previous value \"a\\n2026-01-01"));
        QVERIFY(logger.read().contains("new value \"b\\\\r\\r\""));

        // The log is rotated at a fixed size, keeping one older copy.
        const QString big(1024, 'v');
        for (int i = 0; i < 300; ++i) {
            QVERIFY(logger.logChange(i, big));
        }
        const QString older = Locations::parameterChangeLogFile() + ".1";
        QVERIFY(QFileInfo(older).size() >= 256 * 1024);
        QVERIFY(QFileInfo(Locations::parameterChangeLogFile()).size() < 256 * 1024);
        QVERIFY(logger.clear());
        QVERIFY(QFile::remove(older));
    }
};

QTEST_GUILESS_MAIN(TstSystem)
#include "tst_system.moc"
