// `cmake --install` into a temporary DESTDIR: the tree holds the daemon, the data set, the factory
// copies, the first-start defaults and the service files, and nothing of the machine's other
// services. The installed tree is itself a root: its first-start script puts the defaults into
// place without overwriting, and the installed daemon answers on a bus that has the installed
// policy.
#include "CommandLineClient.h"
#include "PrivateBus.h"
#include "TestRoot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString firstStart = QStringLiteral(CM_INSTALLED_FIRST_START);
const QString daemonProgram = QStringLiteral(CM_INSTALLED_DAEMON);
const QString unit = QStringLiteral(CM_INSTALLED_UNIT);

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return { finished ? process.exitCode() : -1, QString::fromUtf8(process.readAll()).trimmed() };
}

// The relative paths of the files below a directory.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(dir).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class tst_install : public QObject {
    Q_OBJECT

    QTemporaryDir m_dest;

    QString installed(const QString& machinePath) const { return m_dest.path() + machinePath; }

    QProcessEnvironment rootEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CONFIGURATION_MANAGER_ROOT", m_dest.path());
        return environment;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dest.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", m_dest.path());
        const Outcome install = run(CM_CMAKE_COMMAND, { "--install", TestRoot::binaryDir() }, environment);
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    }

    void treeHoldsTheDataSetAndTheServiceFiles()
    {
        const QString data = TestRoot::sourceDir() + "/data";
        for (const QString& dir : QStringList { "/usr/share/configuration-manager", "/usr/share/embosser/layouts",
                 "/usr/share/embosser/settings", "/backup/embosser/factory" }) {
            const QStringList shipped = filesBelow(data + dir);
            QVERIFY2(!shipped.isEmpty(), qPrintable(dir));
            for (const QString& file : shipped) {
                QVERIFY2(contentOf(installed(dir + '/' + file)) == contentOf(data + dir + '/' + file),
                    qPrintable(dir + '/' + file + " is not installed as shipped"));
            }
        }
        // The working files are defaults for a first start, with a factory copy each.
        for (const QString& dir : QStringList { "embosser", "slave" }) {
            for (const QString& file : filesBelow(data + "/var/lib/" + dir)) {
                QVERIFY2(QFile::exists(
                             installed("/usr/share/configuration-manager/first-start/var/lib/" + dir + '/' + file)),
                    qPrintable(file));
                QVERIFY2(QFile::exists(installed("/backup/embosser/factory/" + file)), qPrintable(file));
            }
        }
        QVERIFY2(!QFile::exists(installed("/var/lib/embosser")), "a machine's own files are never installed");
        // The generated tables and tones, and only this service's files from /etc.
        for (const char* dir :
            { "/usr/share/embosser/liblouis", "/usr/share/embosser/tables", "/usr/share/embosser/tones" }) {
            QVERIFY2(!filesBelow(installed(dir)).isEmpty(), dir);
        }
        QCOMPARE(filesBelow(installed("/etc")),
            QStringList({ "dbus-1/system.d/" + service + ".conf", "sv/configuration-manager/log/run",
                "sv/configuration-manager/run" }));
        for (const QString& program : QStringList { daemonProgram, firstStart,
                 QString("/etc/sv/configuration-manager/run"), QString("/etc/sv/configuration-manager/log/run") }) {
            QVERIFY2(QFileInfo(installed(program)).isExecutable(), qPrintable(program));
        }
    }

    // Every program the service files name is one of the installed tree.
    void serviceFilesNameInstalledPrograms()
    {
        const QRegularExpression absolutePath("(?:^|[ ='])(/[^ ']+)");
        for (const QString& file : { "/usr/share/dbus-1/system-services/" + service + ".service", unit,
                 QString("/etc/sv/configuration-manager/run") }) {
            const QString text = QString::fromUtf8(contentOf(installed(file)));
            QStringList programs;
            for (const QString& line : text.split('\n')) {
                if (line.startsWith("Exec") || line.startsWith("exec")) {
                    auto match = absolutePath.globalMatch(line);
                    while (match.hasNext()) {
                        programs << match.next().captured(1);
                    }
                }
            }
            QVERIFY2(programs.contains(daemonProgram), qPrintable(file + " does not start " + daemonProgram));
            QVERIFY2(programs.contains(firstStart), qPrintable(file + " does not run " + firstStart));
            for (const QString& program : programs) {
                QVERIFY2(QFileInfo(installed(program)).isExecutable(), qPrintable(file + ": " + program));
            }
        }
        const QString unitText = QString::fromUtf8(contentOf(installed(unit)));
        for (const QString& line : QStringList { "Type=dbus", "BusName=" + service, "Restart=on-failure" }) {
            QVERIFY2(unitText.contains('\n' + line + '\n'), qPrintable(line));
        }
    }

    // Verified as a copy whose programs are those of the installed tree (systemd-analyze checks
    // that they exist), beside the machine's own units that it depends on.
    void unitPassesSystemdAnalyze()
    {
        if (!CommandLineClient::isInstalled("systemd-analyze")) {
            QSKIP("systemd-analyze is not installed: the unit is not verified");
        }
        QTemporaryDir dir;
        QFile copy(dir.filePath("configuration-manager.service"));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(QString::fromUtf8(contentOf(installed(unit)))
                       .replace('=' + firstStart, '=' + installed(firstStart))
                       .replace('=' + daemonProgram, '=' + installed(daemonProgram))
                       .toUtf8());
        copy.close();
        const Outcome verify
            = run("systemd-analyze", { "verify", copy.fileName() }, QProcessEnvironment::systemEnvironment());
        QVERIFY2(verify.exitCode == 0 && verify.output.isEmpty(), qPrintable(verify.output));
    }

    // The first start on the installed tree copies the defaults in; a later one keeps what the
    // machine has, and the script runs its command last.
    void firstStartNeverOverwrites()
    {
        const QString defaults = installed("/usr/share/configuration-manager/first-start");
        const Outcome first = run(installed(firstStart), QStringList(), rootEnvironment());
        QVERIFY2(first.exitCode == 0, qPrintable(first.output));
        for (const QString& file : filesBelow(defaults)) {
            QCOMPARE(contentOf(installed('/' + file)), contentOf(defaults + '/' + file));
        }
        for (const char* dir : { "/backup/embosser/layouts", "/var/lib/configuration-manager" }) {
            QVERIFY2(QFileInfo(installed(dir)).isDir(), dir);
        }
        const QByteArray own = "{\n    \"Layout number\": 2\n}\n";
        QFile parameters(installed("/var/lib/embosser/parameters"));
        QVERIFY(parameters.open(QIODevice::WriteOnly) && parameters.write(own) == own.size());
        parameters.close();
        QVERIFY(QFile::remove(installed("/var/lib/embosser/layout.6")));
        const Outcome again
            = run(installed(firstStart), { "printenv", "CONFIGURATION_MANAGER_ROOT" }, rootEnvironment());
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.output, m_dest.path());
        QCOMPARE(contentOf(installed("/var/lib/embosser/parameters")), own);
        QCOMPARE(
            contentOf(installed("/var/lib/embosser/layout.6")), contentOf(defaults + "/var/lib/embosser/layout.6"));
        QVERIFY(QFile::remove(installed("/var/lib/embosser/parameters")));
        QVERIFY(run(installed(firstStart), QStringList(), rootEnvironment()).exitCode == 0);
    }

    // A bus whose default policy is the system bus's (nobody owns names or calls methods) lets
    // root own and call the service only through the installed policy file.
    void installedDaemonAnswersUnderTheInstalledPolicy()
    {
        if (::geteuid() != 0) {
            QSKIP("only root may own the service's name under its policy");
        }
        QTemporaryDir busDir;
        QFile config(busDir.filePath("system.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        const QString policy = installed("/etc/dbus-1/system.d/" + service + ".conf");
        config.write(QString::fromUtf8(contentOf(TestRoot::sourceDir() + "/tests/install/system-bus.conf"))
                         .arg(busDir.filePath("socket"), policy)
                         .toUtf8());
        config.close();
        PrivateBus bus(config.fileName());
        QVERIFY2(bus.isValid(), qPrintable(bus.error()));

        QVERIFY(run(installed(firstStart), QStringList(), rootEnvironment()).exitCode == 0);
        QProcessEnvironment environment = rootEnvironment();
        environment.insert("PATH", TestRoot::sourceDir() + "/sim/bin:" + environment.value("PATH"));
        environment.insert("DBUS_SYSTEM_BUS_ADDRESS", bus.address());
        ChildProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(busDir.filePath("daemon.log"));
        const QString emulator = qEnvironmentVariable("CM_EMULATOR");
        if (emulator.isEmpty()) {
            process.start(installed(daemonProgram), QStringList());
        } else {
            process.start(emulator, QStringList { installed(daemonProgram) });
        }
        QVERIFY(process.waitForStarted(10000));
        const bool ready = QTest::qWaitFor(
            [&]() { return contentOf(installed("/var/run/service-watcher/configuration-manager")).trimmed() == "1"; },
            60000);
        const QString answer = ready ? CommandLineClient::gdbus("getModel") : QString();
        process.terminate();
        process.waitForFinished(10000);
        QVERIFY2(ready, contentOf(busDir.filePath("daemon.log")).constData());
        // The model of the settings that the first start put into place.
        const QString model = QJsonDocument::fromJson(contentOf(installed("/var/lib/embosser/embosserConf")))
                                  .object()
                                  .value("Model")
                                  .toString();
        QCOMPARE(answer, QString("('%1',)").arg(model));
    }
};

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
