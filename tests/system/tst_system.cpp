#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"

#include "Locations.h"
#include "ShellQuote.h"
#include "System.h"
#include "Utils.h"
#include "libcorvane/Singleton.h"
#include "log/Logger.h"
#include "ls/JFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Hostile text for every place where a value from outside reaches a command line: a quote that
// would end the quoting, a command separator, command substitution in both forms.
static QString hostileText(const QString& markerDir)
{
    return QStringLiteral("Zentra' ; touch %1/semicolon ; $(touch %1/dollar) `touch %1/backtick` \"x").arg(markerDir);
}

class TstSystem : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shellQuoteGivesOneLiteralWord_data();
    void shellQuoteGivesOneLiteralWord();

    void waitForProcessResults_data();
    void waitForProcessResults();
    void waitForProcessKillsWhatIgnoresTerminate();
    void waitForProcessTerminatesAfterTimeout();

    void saveFlashInfoRestartRule_data();
    void saveFlashInfoRestartRule();
    void scriptFailuresAreReported_data();
    void scriptFailuresAreReported();
    void setEmbosserModelPassesOneLiteralArgument();
    void setEmbosserModelOrdinaryName();
    void serviceRestart();
    void resetFile();

    void flashParameterRoundTrip_data();
    void flashParameterRoundTrip();
    void flashParameterFailures();

    void convertInchSteps_data();
    void convertInchSteps();
    void convertInchStepsFailures_data();
    void convertInchStepsFailures();
    void mmToInchCode_data();
    void mmToInchCode();

    void copyFile();
    void readFile();
    void readFileLines_data();
    void readFileLines();
    void folderHelpers();

    void loggerEntries();
    void loggerDisabled();

private:
    QString flashStore() const { return m_root->file(QStringLiteral("/var/lib/sim/eeprom")); }
    void setToolFails(const QString& tool, bool fails) const;
    void setStepDistance(const QVariant& value) const;
    int rebootCount() const;

    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<SimCalls> m_calls;
};

void TstSystem::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_root->isValid());
    m_calls = std::make_unique<SimCalls>(m_root->path());
    // The change log warns when it cannot read its file; the tests assert that line.
    QLoggingCategory::setFilterRules(QStringLiteral("Logger.warning=true"));
}

void TstSystem::init()
{
    m_calls->clear();
}

void TstSystem::setToolFails(const QString& tool, bool fails) const
{
    const QString marker = QStringLiteral("/var/lib/sim/fail/") + tool;
    if (fails) {
        QVERIFY(m_root->writeFile(marker, QByteArray()));
    } else {
        QFile::remove(m_root->file(marker));
    }
}

void TstSystem::setStepDistance(const QVariant& value) const
{
    QVERIFY(m_root->restoreShipped(QStringLiteral("/var/lib/embosser/parameters")));
    QVERIFY(ls::JFile().write(Locations::parametersFile(), QStringLiteral("PF Step dist"), value));
}

int TstSystem::rebootCount() const
{
    return m_root->readFile(QStringLiteral("/var/lib/sim/reboots")).count('\n');
}

void TstSystem::shellQuoteGivesOneLiteralWord_data()
{
    QTest::addColumn<QString>("piece");
    QTest::newRow("plain") << QStringLiteral("Corvane Zentra");
    QTest::newRow("empty") << QString();
    QTest::newRow("quotes") << QStringLiteral("it's \"quoted\" ''");
    QTest::newRow("expansions") << QStringLiteral("$HOME $(id) `id` ${x:-y} * ? [a] ~ \\n");
    QTest::newRow("separators") << QStringLiteral("a; b && c | d > e < f & g\nh");
    QTest::newRow("non-ascii") << QStringLiteral("Prägla – 点字");
}

void TstSystem::shellQuoteGivesOneLiteralWord()
{
    QFETCH(QString, piece);
    QVERIFY(ShellQuote::isQuotable(piece));
    // The shell sees the quoted piece as its one positional argument and prints it unchanged.
    QProcess shell;
    shell.start(QStringLiteral("sh"),
        { QStringLiteral("-c"), QStringLiteral("sh -c 'printf %s \"$#:$1\"' x ") + ShellQuote::quote(piece) });
    QVERIFY(shell.waitForFinished(10000));
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()), QStringLiteral("1:") + piece);
    QVERIFY(!ShellQuote::isQuotable(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
}

void TstSystem::waitForProcessResults_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("success") << QStringLiteral("sh") << QStringList { QStringLiteral("-c"), QStringLiteral("exit 0") }
                             << true << QString();
    QTest::newRow("non-zero") << QStringLiteral("sh") << QStringList { QStringLiteral("-c"), QStringLiteral("exit 3") }
                              << false << QStringLiteral("process sh -c exit 3 exited with non-zero status: 3");
    QTest::newRow("crash") << QStringLiteral("sh")
                           << QStringList { QStringLiteral("-c"), QStringLiteral("kill -SEGV $$") } << false
                           << QStringLiteral("crashed.");
    QTest::newRow("missing program") << QStringLiteral("no-such-program-anywhere") << QStringList() << false
                                     << QStringLiteral("failed to start");
}

void TstSystem::waitForProcessResults()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, result);
    QFETCH(QString, message);

    LogCapture log;
    QProcess process;
    process.start(program, arguments);
    QCOMPARE(System::waitForProcess(process, 10000), result);
    if (!message.isEmpty()) {
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
    } else {
        QVERIFY(log.messages().isEmpty());
    }
    QVERIFY(!log.contains(QStringLiteral("Timout")));
}

void TstSystem::waitForProcessKillsWhatIgnoresTerminate()
{
    // The ignored TERM survives exec, so the sleep itself must be killed.
    QProcess process;
    process.start(
        QStringLiteral("sh"), { QStringLiteral("-c"), QStringLiteral("trap '' TERM; echo ready; exec sleep 60") });
    QVERIFY(process.waitForReadyRead(10000));

    LogCapture log;
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!System::waitForProcess(process, 200));
    QVERIFY(elapsed.elapsed() < 5000);
    QCOMPARE(process.state(), QProcess::NotRunning);
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QVERIFY(log.contains(QStringLiteral("System::waitForProcess ERROR: Timout waiting for process: sh -c trap")));
    QVERIFY(log.contains(QStringLiteral("Timeout waiting for process to terminate.")));
    QVERIFY(!log.contains(QStringLiteral("Timeout waiting for process to die.")));
}

void TstSystem::waitForProcessTerminatesAfterTimeout()
{
    QProcess process;
    process.start(QStringLiteral("sh"), { QStringLiteral("-c"), QStringLiteral("echo ready; exec sleep 60") });
    QVERIFY(process.waitForReadyRead(10000));

    LogCapture log;
    QVERIFY(!System::waitForProcess(process, 200));
    QCOMPARE(process.state(), QProcess::NotRunning);
    QVERIFY(log.contains(QStringLiteral("Timout waiting for process:")));
    QVERIFY(!log.contains(QStringLiteral("Timeout waiting for process to terminate.")));
}

void TstSystem::saveFlashInfoRestartRule_data()
{
    QTest::addColumn<bool>("restart");
    QTest::addColumn<bool>("upgrading");
    QTest::addColumn<QStringList>("arguments");

    const QStringList save { QStringLiteral("-s") };
    const QStringList saveAndRestart { QStringLiteral("-s"), QStringLiteral("-r") };
    QTest::newRow("restart") << true << false << saveAndRestart;
    QTest::newRow("restart during upgrade") << true << true << save;
    QTest::newRow("no restart") << false << false << save;
    QTest::newRow("no restart during upgrade") << false << true << save;
}

void TstSystem::saveFlashInfoRestartRule()
{
    QFETCH(bool, restart);
    QFETCH(bool, upgrading);
    QFETCH(QStringList, arguments);

    const QString marker = Locations::upgradeMarkerFile();
    if (upgrading) {
        QVERIFY(Utils::createFile(marker));
    }
    const int reboots = rebootCount();
    const bool saved = System::saveFlashInfo(restart);
    QFile::remove(marker);

    QVERIFY(saved);
    QCOMPARE(m_calls->of(QStringLiteral("embosser-factory.sh")), QList<QStringList> { arguments });
    QCOMPARE(rebootCount(), reboots + (arguments.contains(QStringLiteral("-r")) ? 1 : 0));
}

void TstSystem::scriptFailuresAreReported_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");

    QTest::newRow("saveFlashInfo") << QStringLiteral("embosser-factory.sh") << QStringLiteral("saveFlashInfo")
                                   << QStringLiteral("System::saveFlashInfo FAILED!");
    QTest::newRow("setEmbosserModel") << QStringLiteral("embosser-settings.sh") << QStringLiteral("setEmbosserModel")
                                      << QStringLiteral("System::setEmbosserModel FAILED!");
    QTest::newRow("resetSettingsForFlashModel")
        << QStringLiteral("embosser-settings.sh") << QStringLiteral("resetSettingsForFlashModel")
        << QStringLiteral("System::resetSettingsForFlashModel FAILED!");
    QTest::newRow("resetFile") << QStringLiteral("embosser-settings.sh") << QStringLiteral("resetFile")
                               << QStringLiteral(
                                      "System::resetFile FAILED! reset of file with script layout.3 failed!");
    QTest::newRow("serviceRestart") << QStringLiteral("sv") << QStringLiteral("serviceRestart")
                                    << QStringLiteral(
                                           "System::serviceRestart ERROR: sv restart 'lighttpd'  for lighttpd");
}

void TstSystem::scriptFailuresAreReported()
{
    QFETCH(QString, tool);
    QFETCH(QString, operation);
    QFETCH(QString, message);

    setToolFails(tool, true);
    LogCapture log;
    bool result = true;
    if (operation == QLatin1String("saveFlashInfo")) {
        result = System::saveFlashInfo(false);
    } else if (operation == QLatin1String("setEmbosserModel")) {
        result = System::setEmbosserModel(QStringLiteral("Corvane Zentra"));
    } else if (operation == QLatin1String("resetSettingsForFlashModel")) {
        result = System::resetSettingsForFlashModel();
    } else if (operation == QLatin1String("resetFile")) {
        result = System::resetFile(QStringLiteral("layout.3"));
    } else if (operation == QLatin1String("serviceRestart")) {
        result = System::serviceRestart(QStringLiteral("lighttpd"));
    }
    setToolFails(tool, false);

    QVERIFY(!result);
    QCOMPARE(m_calls->of(tool).size(), 1);
    QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
    QVERIFY(log.contains(QStringLiteral("exited with non-zero status: 1")));
}

void TstSystem::setEmbosserModelPassesOneLiteralArgument()
{
    QTemporaryDir markers;
    QVERIFY(markers.isValid());
    const QString model = hostileText(markers.path());

    System::setEmbosserModel(model);

    QCOMPARE(m_calls->of(QStringLiteral("embosser-settings.sh")),
        (QList<QStringList> { { QStringLiteral("-a"), QStringLiteral("-c"), QStringLiteral("-m"), model } }));
    QCOMPARE(QDir(markers.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    // The script stored the text in the flash memory exactly as given.
    QCOMPARE(System::getEmbosserModel(), model);

    QVERIFY(System::setEmbosserModel(QStringLiteral("Corvane Zentra")));
}

void TstSystem::setEmbosserModelOrdinaryName()
{
    QVERIFY(System::setEmbosserModel(QStringLiteral("Corvane Zentra")));
    // What the documented line "-m 'Corvane Zentra'" gives the script.
    QCOMPARE(m_calls->of(QStringLiteral("embosser-settings.sh")),
        (QList<QStringList> {
            { QStringLiteral("-a"), QStringLiteral("-c"), QStringLiteral("-m"), QStringLiteral("Corvane Zentra") } }));
    QCOMPARE(System::getEmbosserModel(), QStringLiteral("Corvane Zentra"));

    m_calls->clear();
    QVERIFY(System::resetSettingsForFlashModel());
    QCOMPARE(m_calls->of(QStringLiteral("embosser-settings.sh")),
        (QList<QStringList> { { QStringLiteral("-a"), QStringLiteral("-c") } }));
}

void TstSystem::serviceRestart()
{
    QVERIFY(System::serviceRestart(QStringLiteral("lighttpd")));
    QCOMPARE(m_calls->of(QStringLiteral("sv")),
        (QList<QStringList> { { QStringLiteral("restart"), QStringLiteral("lighttpd") } }));

    QTemporaryDir markers;
    QVERIFY(markers.isValid());
    const QString name = hostileText(markers.path());
    m_calls->clear();
    LogCapture log;
    QVERIFY(!System::serviceRestart(name));
    QCOMPARE(m_calls->of(QStringLiteral("sv")), (QList<QStringList> { { QStringLiteral("restart"), name } }));
    QCOMPARE(QDir(markers.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(log.contains(QStringLiteral(" for ") + name));
}

void TstSystem::resetFile()
{
    const QString layout = QStringLiteral("/var/lib/embosser/layout.3");
    const QByteArray factory = m_root->readFile(QStringLiteral("/backup/embosser/factory/layout.3"));
    QVERIFY(!factory.isEmpty());
    QVERIFY(m_root->writeFile(layout, "{}"));

    QVERIFY(System::resetFile(QStringLiteral("layout.3")));
    QCOMPARE(m_calls->of(QStringLiteral("embosser-settings.sh")),
        (QList<QStringList> { { QStringLiteral("-f"), QStringLiteral("layout.3") } }));
    QCOMPARE(m_root->readFile(layout), factory);

    m_calls->clear();
    LogCapture log;
    QVERIFY(!System::resetFile(QString()));
    QVERIFY(log.contains(QStringLiteral("System::resetFile ERROR: no file to reset ==> restore failed.")));
    QVERIFY(m_calls->all().isEmpty());
}

void TstSystem::flashParameterRoundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("stored");

    QTest::newRow("text with shell characters")
        << QStringLiteral("printer.hw.serial") << QStringLiteral("Serial")
        << QVariant(QStringLiteral("SN 'x' $(touch y); `z` \\")) << QStringLiteral("SN 'x' $(touch y); `z` \\");
    QTest::newRow("int") << QStringLiteral("printer.hw.hammerBatch") << QStringLiteral("HammerBatch") << QVariant(1234)
                         << QStringLiteral("1234");
    QTest::newRow("double") << QStringLiteral("printer.slave.tray.maxCurrent") << QStringLiteral("MaxCurrentForTray")
                            << QVariant(1.5) << QStringLiteral("1.5");
    QTest::newRow("last update") << QStringLiteral("system.update-manager.last-update") << QStringLiteral("LastUpdate")
                                 << QVariant(QStringLiteral("2025-10-14")) << QStringLiteral("2025-10-14");
}

void TstSystem::flashParameterRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, stored);

    QCOMPARE(System::flashField(key), field);
    QVERIFY(System::setFlashParameter(key, value));
    QCOMPARE(System::getFlashParameter(key), QVariant(stored));
    QCOMPARE(m_calls->of(QStringLiteral("eeprom-handler")),
        (QList<QStringList> {
            { QStringLiteral("-s"), field, QStringLiteral("-b"), stored }, { QStringLiteral("-g"), field } }));
}

void TstSystem::flashParameterFailures()
{
    const QString key = QStringLiteral("printer.hw.serial");
    {
        LogCapture log;
        QVERIFY(!System::setFlashParameter(key, QVariantMap { { QStringLiteral("a"), 1 } }));
        QVERIFY(log.contains(
            QStringLiteral("System::setFlashParameter ERROR: Unable to convert property value to QByteArray")));
        QVERIFY(System::getFlashParameter(QStringLiteral("printer.hw.unknown")).isNull());
        QVERIFY(!System::setFlashParameter(QStringLiteral("printer.hw.unknown"), 1));
        QVERIFY(m_calls->all().isEmpty());
    }
    {
        setToolFails(QStringLiteral("eeprom-handler"), true);
        LogCapture log;
        const bool set = System::setFlashParameter(key, QStringLiteral("1"));
        const QVariant got = System::getFlashParameter(key);
        setToolFails(QStringLiteral("eeprom-handler"), false);
        QVERIFY(!set);
        QVERIFY(got.isNull());
        QVERIFY(log.contains(QStringLiteral("System::setFlashParameter FAILED! Unable to set EEPROM value Serial")));
        QVERIFY(log.contains(QStringLiteral("System::getFlashParameter FAILED! Unable to get EEPROM value Serial")));
    }
    {
        // A flash memory that was never written: the field has no value.
        const QByteArray flash = m_root->readFile(QStringLiteral("/var/lib/sim/eeprom"));
        QVERIFY(QFile::remove(flashStore()));
        LogCapture log;
        const QVariant model = System::getFlashParameter(QStringLiteral("printer.hw.model"));
        QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/sim/eeprom"), flash));
        QVERIFY(model.isNull());
        QVERIFY(log.contains(QStringLiteral("process eeprom-handler -g Model exited with non-zero status: 1")));
        QVERIFY(log.contains(QStringLiteral("Unable to get EEPROM value Model")));
    }
}

void TstSystem::convertInchSteps_data()
{
    QTest::addColumn<QVariant>("stepDistance");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("steps");

    // 0.5 mm steps: 50 steps per inch (50.8 truncated).
    const QVariant half(0.5);
    QTest::newRow("0.5 code 0") << half << 0 << 0;
    QTest::newRow("0.5 code 20") << half << 20 << 100;
    QTest::newRow("0.5 code 21 (1/4)") << half << 21 << 112;
    QTest::newRow("0.5 code 22 (1/3)") << half << 22 << 116;
    QTest::newRow("0.5 code 23 (1/2)") << half << 23 << 125;
    QTest::newRow("0.5 code 24 (2/3)") << half << 24 << 133;
    QTest::newRow("0.5 code 25 (3/4)") << half << 25 << 137;
    QTest::newRow("0.5 code 26") << half << 26 << 100;
    QTest::newRow("0.5 code 27") << half << 27 << 100;
    QTest::newRow("0.5 code 29") << half << 29 << 100;
    QTest::newRow("0.5 code 114") << half << 114 << 583;
    // 0.3 mm steps: 84 steps per inch (84.67 truncated).
    QTest::newRow("0.3 code 13") << QVariant(0.3) << 13 << 126;
    QTest::newRow("0.3 code 15") << QVariant(0.3) << 15 << 147;
    QTest::newRow("number as text") << QVariant(QStringLiteral("0.5")) << 23 << 125;
}

void TstSystem::convertInchSteps()
{
    QFETCH(QVariant, stepDistance);
    QFETCH(int, code);
    QFETCH(int, steps);

    setStepDistance(stepDistance);
    QCOMPARE(Utils::convertInchSteps(code), steps);
}

void TstSystem::convertInchStepsFailures_data()
{
    QTest::addColumn<QVariant>("stepDistance");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file") << QVariant()
                                  << QStringLiteral(
                                         "Utils::convertInchSteps FAILED! Reading parameter PF Step dist from file ");
    QTest::newRow("text") << QVariant(QStringLiteral(
        "half a mm")) << QStringLiteral("Utils::convertInchSteps ERROR: Converting half a mm to double value failed.");
    QTest::newRow("object") << QVariant(QVariantMap { { QStringLiteral("mm"), 0.5 } })
                            << QStringLiteral("to double value failed.");
    QTest::newRow("zero") << QVariant(0.0) << QStringLiteral("is not a usable step length.");
    QTest::newRow("negative") << QVariant(-0.5) << QStringLiteral("is not a usable step length.");
}

void TstSystem::convertInchStepsFailures()
{
    QFETCH(QVariant, stepDistance);
    QFETCH(QString, message);

    if (stepDistance.isValid()) {
        setStepDistance(stepDistance);
    } else {
        QVERIFY(QFile::remove(Locations::parametersFile()));
    }
    LogCapture log;
    const int steps = Utils::convertInchSteps(23);
    QVERIFY(m_root->restoreShipped(QStringLiteral("/var/lib/embosser/parameters")));
    QCOMPARE(steps, 0);
    QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
    if (!stepDistance.isValid()) {
        QVERIFY(log.contains(Locations::parametersFile() + QStringLiteral(" failed!")));
    }
}

void TstSystem::mmToInchCode_data()
{
    QTest::addColumn<double>("millimetres");
    QTest::addColumn<int>("code");

    QTest::newRow("25.4 mm") << 25.4 << 10;
    QTest::newRow("31.75 mm (1.25 in)") << 31.75 << 11;
    QTest::newRow("48.26 mm (1.9 in)") << 48.26 << 20;
    QTest::newRow("210 mm (A4 width)") << 210.0 << 81;
    QTest::newRow("297 mm (A4 length)") << 297.0 << 114;
    QTest::newRow("0 mm") << 0.0 << 0;

    // Just below and above each band edge, at 8 inches and a fraction.
    struct Edge {
        double fraction;
        int below;
        int above;
    };
    const Edge edges[] = { { 0.15, 80, 81 }, { 0.29, 81, 82 }, { 0.41, 82, 83 }, { 0.58, 83, 84 }, { 0.70, 84, 85 },
        { 0.85, 85, 90 } };
    for (const Edge& edge : edges) {
        QTest::addRow("8 in + %.3f", edge.fraction - 0.003) << 25.4 * (8 + edge.fraction - 0.003) << edge.below;
        QTest::addRow("8 in + %.3f", edge.fraction + 0.003) << 25.4 * (8 + edge.fraction + 0.003) << edge.above;
    }
}

void TstSystem::mmToInchCode()
{
    QFETCH(double, millimetres);
    QFETCH(int, code);
    QCOMPARE(Utils::mmToInchCode(millimetres), code);
}

void TstSystem::copyFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString destination = dir.filePath(QStringLiteral("destination"));
    QFile sourceFile(source);
    QVERIFY(sourceFile.open(QIODevice::WriteOnly));
    sourceFile.write("new content\n");
    sourceFile.close();

    QVERIFY(Utils::copyFile(source, destination, false));
    QString content;
    QVERIFY(Utils::readFile(destination, content));
    QCOMPARE(content, QStringLiteral("new content\n"));

    QFile destinationFile(destination);
    QVERIFY(destinationFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    destinationFile.write("old content\n");
    destinationFile.close();
    {
        LogCapture log;
        QVERIFY(!Utils::copyFile(source, destination, false));
        QVERIFY(log.contains(QStringLiteral("Utils::copyFile FAILED! Destination file ") + destination
            + QStringLiteral(" exists and overwrite flag not set!")));
        QVERIFY(Utils::readFile(destination, content));
        QCOMPARE(content, QStringLiteral("old content\n"));
    }

    QVERIFY(Utils::copyFile(source, destination, true));
    QVERIFY(Utils::readFile(destination, content));
    QCOMPARE(content, QStringLiteral("new content\n"));

    {
        // A missing source leaves the destination as it was.
        LogCapture log;
        QVERIFY(!Utils::copyFile(dir.filePath(QStringLiteral("missing")), destination, true));
        QVERIFY(Utils::readFile(destination, content));
        QCOMPARE(content, QStringLiteral("new content\n"));
    }
    {
        const QString folder = dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkpath(folder));
        LogCapture log;
        QVERIFY(!Utils::copyFile(source, folder, true));
        QVERIFY(log.contains(QStringLiteral("removing ") + folder + QStringLiteral(" destination file failed!")));
        QVERIFY(QFileInfo(folder).isDir());
    }
}

void TstSystem::readFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString out = QStringLiteral("unchanged");
    {
        LogCapture log;
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QVERIFY(!Utils::readFile(missing, out));
        QVERIFY(log.contains(QStringLiteral("Utils::readFile ERROR: ") + missing + QStringLiteral(" does not exist.")));
    }
    {
        LogCapture log;
        QVERIFY(!Utils::readFile(dir.path(), out));
        QVERIFY(log.contains(
            QStringLiteral("Utils::readFile ERROR: Opening ") + dir.path() + QStringLiteral(" file failed.")));
    }
    QCOMPARE(out, QStringLiteral("unchanged"));
}

void TstSystem::readFileLines_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<bool>("lastLines");
    QTest::addColumn<QString>("expected");

    const QString all = QStringLiteral("1\n2\n3\n4\n5");
    QTest::newRow("first two") << 2 << false << QStringLiteral("1\n2\n");
    QTest::newRow("last two") << 2 << true << QStringLiteral("4\n5");
    QTest::newRow("more than there are, first") << 10 << false << all;
    QTest::newRow("more than there are, last") << 10 << true << all;
    QTest::newRow("zero is everything") << 0 << true << all;
    QTest::newRow("negative is everything") << -1 << false << all;
}

void TstSystem::readFileLines()
{
    QFETCH(int, lineCount);
    QFETCH(bool, lastLines);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lines"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n2\n3\n4\n5");
    file.close();

    QString out;
    QVERIFY(Utils::readFile(path, out, lineCount, lastLines));
    QCOMPARE(out, expected);
}

void TstSystem::folderHelpers()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("a/b"));
    QCOMPARE(Utils::listFiles(folder), QStringList());

    QVERIFY(Utils::createFile(folder + QStringLiteral("/layout.2")));
    QVERIFY(Utils::createFile(folder + QStringLiteral("/layout.10")));
    QVERIFY(Utils::createFile(folder + QStringLiteral("/userpaper.1")));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/layout.sub")));
    QCOMPARE(Utils::listFiles(folder),
        (QStringList { QStringLiteral("layout.10"), QStringLiteral("layout.2"), QStringLiteral("userpaper.1") }));
    QCOMPARE(Utils::listFiles(folder, { QStringLiteral("layout.*") }),
        (QStringList { QStringLiteral("layout.10"), QStringLiteral("layout.2") }));

    // Creating an existing file keeps its content.
    QFile file(folder + QStringLiteral("/layout.2"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    QVERIFY(Utils::createFile(file.fileName()));
    QString content;
    QVERIFY(Utils::readFile(file.fileName(), content));
    QCOMPARE(content, QStringLiteral("kept"));
}

void TstSystem::loggerEntries()
{
    auto& logger = libcorvane::Singleton<detail::Logger>::instance();
    logger.clear();
    logger.setEnabled(true);
    logger.setParameterName(QStringLiteral("Print speed"));

    const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd / hh:mm"));
    QVERIFY(logger.logChange(1, 2));
    QVERIFY(logger.logChange(QStringLiteral("2"), 3.5));
    const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd / hh:mm"));

    const QString text = logger.read();
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(2), QString());
    const QRegularExpression entry(QStringLiteral(
        "^(\\d{4}-\\d\\d-\\d\\d / \\d\\d:\\d\\d) - \"Print speed\" - previous value \"(.*)\", new value \"(.*)\".$"));
    const QStringList expected[]
        = { { QStringLiteral("1"), QStringLiteral("2") }, { QStringLiteral("2"), QStringLiteral("3.5") } };
    for (int i = 0; i < 2; ++i) {
        const QRegularExpressionMatch match = entry.match(lines.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(lines.at(i)));
        QVERIFY(match.captured(1) == before || match.captured(1) == after);
        QCOMPARE(match.captured(2), expected[i].at(0));
        QCOMPARE(match.captured(3), expected[i].at(1));
    }
    QCOMPARE(QFileInfo(Locations::parameterChangeLogFile()).absolutePath(),
        m_root->file(QStringLiteral("/var/lib/configuration-manager")));

    QVERIFY(logger.clear());
    QVERIFY(!QFileInfo::exists(Locations::parameterChangeLogFile()));
    QVERIFY(!logger.clear());

    LogCapture log;
    QCOMPARE(logger.read(), QString());
    QVERIFY(log.contains(
        QStringLiteral("detail::Logger::read WARN: Failed to open file: ") + Locations::parameterChangeLogFile()));
    logger.setEnabled(false);
}

void TstSystem::loggerDisabled()
{
    auto& logger = libcorvane::Singleton<detail::Logger>::instance();
    logger.clear();
    logger.setEnabled(true);
    logger.setParameterName(QStringLiteral("Odd low pulse time"));
    logger.setEnabled(false);

    // While off, a new name is not taken and nothing is written.
    logger.setParameterName(QStringLiteral("Print speed"));
    QCOMPARE(logger.parameterName(), QStringLiteral("Odd low pulse time"));
    QVERIFY(!logger.logChange(1, 2));
    QVERIFY(!QFileInfo::exists(Locations::parameterChangeLogFile()));

    logger.setEnabled(true);
    QVERIFY(logger.logChange(1, 2));
    QVERIFY(logger.read().contains(QStringLiteral("\"Odd low pulse time\"")));
    logger.clear();
    logger.setEnabled(false);
}

QTEST_GUILESS_MAIN(TstSystem)
#include "tst_system.moc"
