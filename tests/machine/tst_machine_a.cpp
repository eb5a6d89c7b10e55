// The machine's settings files as a whole: the model's reconciliation with the flash memory, the
// one-time conversion of the previous firmware's files, user settings on the internal disk and on
// a USB stick, the serial number notification, the architecture file, the firmware date
// and the print processor link settings.

#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"

#include "ls/ConfigManagerNotifId.h"
#include "ls/EmbosserConfActionId.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/PFile.h"
#include "ls/ServiceId.h"
#include "property/Property.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "systeminfo/Architecture.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/Firmware.h"
#include "systeminfo/HammerDelta.h"
#include "systeminfo/PageCounter.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/SerialCom.h"
#include "systeminfo/SlaveConf.h"
#include "systeminfo/Speech.h"
#include "systeminfo/SystemSettings.h"
#include "systeminfo/UserSettings.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString master = masterCollectionKey;

// The service's JSON file access, recording the files it writes whole or by key, and able to fail.
class RecordingFile : public ls::JFile {
public:
    bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const override
    {
        wholeFiles.append(file);
        return !failing && ls::JFile::writeFromMap(directory, file, data);
    }
    bool write(const QString& file, const QString& key, const QVariant& value) const override
    {
        keys.append(file);
        return !failing && ls::JFile::write(file, key, value);
    }

    mutable QStringList wholeFiles;
    mutable QStringList keys;
    bool failing = false;
};

// The machine settings as the service builds them at start-up, in the same order.
struct Machine {
    Machine()
    {
        new DefaultParameters(file, file, catalogs, &owner);
        embosserConf = new EmbosserConf(file, file, catalogs, &owner);
        architecture = new Architecture(file, file, catalogs, &owner);
        auto* embosserhead = new Embosserhead(file, file, catalogs, &owner);
        auto* hammerDelta = new HammerDelta(file, file, catalogs, &owner);
        auto* pageCounter = new PageCounter(file, file, catalogs, &owner);
        auto* parameters = new Parameters(file, file, catalogs, &owner);
        auto* serialCom = new SerialCom(file, file, catalogs, &owner);
        auto* speech = new Speech(file, file, catalogs, &owner);
        userSettings = new UserSettings(file, file, property, catalogs, &owner);
        settings = new SystemSettings(architecture, embosserConf, embosserhead, new Firmware(&owner), hammerDelta,
            pageCounter, parameters, serialCom, new SlaveConf(oldFiles, &owner), speech, userSettings, catalogs,
            oldFiles, file, &owner);
        pageCounter->setModel(embosserConf->getModel(master));
        file.wholeFiles.clear();
        file.keys.clear();
    }

    RecordingFile file;
    ls::PFile oldFiles;
    Property property { file, file };
    CatalogsManager catalogs { property };
    // Parent of every object below; destroyed before the catalogs they refer to.
    QObject owner;
    EmbosserConf* embosserConf = nullptr;
    Architecture* architecture = nullptr;
    UserSettings* userSettings = nullptr;
    SystemSettings* settings = nullptr;
};

const QString conf = QStringLiteral("/var/lib/embosser/embosserConf");
const QString userFile = QStringLiteral("/var/lib/embosser/userSettings");
const QString usbFile = QStringLiteral("/media/sda1/backup/embosser/userSettings/userSettings");
const QString flashFile = QStringLiteral("/var/lib/sim/eeprom");
const QString definitions = QStringLiteral("/usr/share/configuration-manager/propertyList.json");

} // namespace

class TestMachineA : public QObject {
    Q_OBJECT

    std::unique_ptr<TestRoot> m_root;
    QByteArray m_flash;

    QString path(const QString& machinePath) const { return m_root->file(machinePath); }

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap content;
        ls::JFile().readToMap(path(machinePath), content);
        return content;
    }

    void editJson(const QString& machinePath, const std::function<void(QVariantMap&)>& edit) const
    {
        QVariantMap content = readJson(machinePath);
        edit(content);
        QVERIFY(ls::JFile().writeFromMap(QString(), path(machinePath), content));
    }

    // Writes a file of the test root; null content removes it.
    void putFile(const QString& machinePath, const QByteArray& content) const
    {
        QVERIFY(content.isNull() ? QFile::remove(path(machinePath)) : m_root->writeFile(machinePath, content));
    }

    // Sets a field of the simulated flash; a null value removes it.
    void setFlashField(const QString& field, const QString& value) const
    {
        QString flash = QString::fromUtf8(m_root->readFile(flashFile));
        flash.remove(QRegularExpression("^" + field + "=.*\n", QRegularExpression::MultilineOption));
        putFile(flashFile, (value.isNull() ? flash : flash + field + '=' + value + '\n').toUtf8());
    }

    // The eight topic files, in the order every full save writes them.
    QStringList topicFiles() const
    {
        QStringList files { path(QStringLiteral("/var/lib/slave/arch")), path(conf) };
        for (const char* name : { "embosserhead", "hammerDelta", "counters", "parameters", "serialCom", "speech" }) {
            files.append(path(QStringLiteral("/var/lib/embosser/") + QLatin1String(name)));
        }
        return files;
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_flash = m_root->readFile(flashFile);
        QVERIFY(!m_flash.isEmpty());
    }

    void cleanup()
    {
        const QString shipped = TestRoot::sourceDir() + QStringLiteral("/data");
        QDir(path(QStringLiteral("/media/sda1"))).removeRecursively();
        for (const QString& folder : QStringList { "/var/lib/embosser", "/var/lib/slave" }) {
            QDir(path(folder)).removeRecursively();
            QCOMPARE(QProcess::execute(QStringLiteral("cp"), { "-rT", shipped + folder, path(folder) }), 0);
        }
        const QStringList files { "/etc/slave.conf", "/var/lib/update-manager/last-update", definitions };
        for (const QString& file : files) {
            QVERIFY(m_root->restoreShipped(file));
        }
        putFile(flashFile, m_flash);
        SimCalls(m_root->path()).clear();
    }

    // --- identity and flash --------------------------------------------------------------------

    void reconcilesModelWithFlash_data()
    {
        QTest::addColumn<QString>("fileModel");
        QTest::addColumn<QString>("flashModel"); // null: no model in the flash
        QTest::addColumn<QList<QStringList>>("settingsCalls");
        QTest::addColumn<QList<QStringList>>("factoryCalls");
        QTest::addColumn<QString>("model");

        const QString zentra = QStringLiteral("Corvane Zentra");
        const QString alvero = QStringLiteral("Corvane Alvero-D V5");
        const QList<QStringList> none;
        const QStringList save { QStringLiteral("-s"), QStringLiteral("-r") };
        const QList<QStringList> twice { save, save };
        // The last step saves the flash whenever the flash model read at the start differs from the
        // configured one, and an unreadable flash model differs from every text: a flash without
        // model is saved twice, and a settings reset from the flash model is followed by a save.
        QTest::newRow("fresh machine") << "" << QString() << QList<QStringList> { { "-a", "-c", "-m", zentra } }
                                       << twice << zentra;
        QTest::newRow("model only in the flash")
            << "" << alvero << QList<QStringList> { { "-a", "-c" } } << QList<QStringList> { save } << alvero;
        QTest::newRow("model only in the file") << zentra << QString() << none << twice << zentra;
        QTest::newRow("models differ: the file wins")
            << zentra << "Corvane Darvo" << none << QList<QStringList> { save } << zentra;
        QTest::newRow("models agree") << zentra << zentra << none << none << zentra;
    }

    void reconcilesModelWithFlash()
    {
        QFETCH(QString, fileModel);
        QFETCH(QString, flashModel);
        QFETCH(QList<QStringList>, settingsCalls);
        QFETCH(QList<QStringList>, factoryCalls);
        QFETCH(QString, model);

        editJson(conf, [&](QVariantMap& content) {
            content.insert(QStringLiteral("Model"), fileModel);
            content.insert(QStringLiteral("Tested By"), QStringLiteral("QA-99"));
        });
        setFlashField(QStringLiteral("Model"), flashModel);
        const SimCalls calls(m_root->path());
        calls.clear();

        Machine machine;

        QCOMPARE(calls.of(QStringLiteral("embosser-settings.sh")), settingsCalls);
        QCOMPARE(calls.of(QStringLiteral("embosser-factory.sh")), factoryCalls);
        QCOMPARE(machine.embosserConf->getModel(master), model);
        QVERIFY(m_root->readFile(flashFile).split('\n').contains("Model=" + model.toUtf8()));
        // A settings reset replaces the identity with the factory's, in the file and in memory alike.
        const QString testedBy = settingsCalls.isEmpty() ? QStringLiteral("QA-99") : QStringLiteral("QA-07");
        QCOMPARE(readJson(conf).value(QStringLiteral("Tested By")).toString(), testedBy);
        QCOMPARE(machine.embosserConf->getTestedBy(master), testedBy);
    }

    // --- conversion of the previous firmware's files -------------------------------------------

    void convertsLegacyFile_data()
    {
        QTest::addColumn<QString>("legacyFile");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("value");
        QTest::addColumn<QStringList>("logged");

        QTest::newRow("key of another catalog")
            << "parameters.0" << QByteArray("# old\nHammer batch = 2300\n") << "embosserhead"
            << "Hammer batch" << 2300.0 << QStringList();
        QTest::newRow("quoted value") << "hammerdelta" << QByteArray("Hammer 3 delta=\"-12\"\n") << "hammerDelta"
                                      << "Hammer 3 delta" << -12.0 << QStringList();
        QTest::newRow("key=value file at the path of a JSON file")
            << "counters" << QByteArray("Page Counter=1234\n") << "counters"
            << "Page Counter" << 1234.0 << QStringList();
        // Only numbers are converted; text parameters and unusable numbers keep their values.
        QTest::newRow("no known key: still archived")
            << "embosser.conf" << QByteArray("Colour of the lid=3\nModel=Corvane Darvo\nHammer 2 delta=many\n")
            << "hammerDelta"
            << "Hammer 2 delta" << 15.0
            << QStringList { "Colour of the lid not found in any catalog.", "Model invalid value type." };
    }

    void convertsLegacyFile()
    {
        QFETCH(QString, legacyFile);
        QFETCH(QByteArray, content);
        QFETCH(QString, catalog);
        QFETCH(QString, name);
        QFETCH(double, value);
        QFETCH(QStringList, logged);

        putFile("/var/lib/embosser/" + legacyFile, content);
        // "arch", "counters" and "network" share their paths with legacy files but are JSON here,
        // and a JSON text may hold a '=' that reads like a key=value line.
        editJson(QStringLiteral("/var/lib/embosser/network"),
            [](QVariantMap& network) { network.insert(QStringLiteral("Passphrase"), QStringLiteral("open=sesame")); });
        Machine machine;
        LogCapture log;

        machine.settings->convertParameterFiles();

        QCOMPARE(QDir(path("/var/lib/embosser/old")).entryList(QDir::Files), QStringList { legacyFile });
        QCOMPARE(m_root->readFile("/var/lib/embosser/old/" + legacyFile), content);
        // One rewrite of every settings file puts the converted values into their new files.
        QCOMPARE(machine.file.wholeFiles, topicFiles());
        QCOMPARE(readJson("/var/lib/embosser/" + catalog).value(name).toDouble(), value);
        for (const QString& message : logged) {
            QVERIFY2(log.contains(message), qPrintable(message));
        }
    }

    // --- user settings -------------------------------------------------------------------------

    void restoresUserSettingsOnce()
    {
        editJson(userFile, [](QVariantMap& saved) {
            saved.insert(QStringLiteral("Baudrate"), QStringLiteral("19200"));
            saved.remove(QStringLiteral("Speech voice"));
        });
        Machine machine;
        QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
        QSignalSpy layoutSaves(machine.settings, &SystemSettings::saveLayoutParametersToFile);
        LogCapture log;

        QVERIFY(machine.userSettings->loadUserSettings());

        QCOMPARE(machine.file.wholeFiles, topicFiles());
        QCOMPARE(layoutSaves.count(), 1);
        QCOMPARE(notifications.count(), 1);
        const QVariantMap restart {
            { ls::notificationIdKey, ls::ConfigManagerNotifId::RequestServiceRestart },
            { ls::actionIdKey, ls::EmbosserConfActionId::RestoredUserSettings },
            { ls::senderIdKey, ls::ServiceId::ConfigManager },
        };
        QCOMPARE(notifications.first().first().toMap(), restart);
        QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/serialCom")).value("Baudrate").toString(), "19200");
        // A name missing from the file keeps its value and is reported.
        QVERIFY(log.contains(QStringLiteral("Parameter Speech voice does not exist in file!")));
        QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/speech")).value("Speech voice").toString(), "female");
    }

    void refusesEmptyUserSettings()
    {
        putFile(definitions, m_root->readFile(definitions).replace("Settings\": true", "Settings\": false"));
        const QByteArray before = m_root->readFile(userFile);
        Machine machine;
        LogCapture log;

        QVERIFY(!machine.userSettings->saveUserSettings());

        QVERIFY(log.contains(QStringLiteral("User settings data is empty!")));
        QCOMPARE(m_root->readFile(userFile), before);
    }

    void transfersUserSettingsOverUsbStick()
    {
        Machine machine;
        machine.catalogs.getCatalog(QStringLiteral("serialCom"), master)->getParameter("Baudrate", false)->value
            = 38400;
        QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
        LogCapture log;

        // Without a stick nothing is written, not even the folder on the empty mount point.
        QVERIFY(!machine.userSettings->saveUserSettingsUSB());
        QVERIFY(log.contains(QStringLiteral("Failed to find or create path")));
        QVERIFY(!machine.userSettings->loadUserSettingsUSB());
        QVERIFY(log.contains(QStringLiteral("/media/sda1/backup/embosser/userSettings//userSettings failed")));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("/media/sda1"))));

        QVERIFY(QDir().mkpath(path(QStringLiteral("/media/sda1"))));
        QVERIFY(machine.userSettings->saveUserSettingsUSB());

        // Every value is saved as text.
        QVariantMap onStick = readJson(usbFile);
        QCOMPARE(onStick.value(QStringLiteral("Baudrate")), QVariant(QStringLiteral("38400")));
        QCOMPARE(onStick.value(QStringLiteral("Baudrate")).userType(), int(QMetaType::QString));
        QCOMPARE(notifications.count(), 0);

        onStick.insert(QStringLiteral("Baudrate"), QStringLiteral("4800"));
        onStick.insert(QStringLiteral("Databit"), QVariantMap { { QStringLiteral("bits"), 7 } });
        QVERIFY(ls::JFile().writeFromMap(QString(), path(usbFile), onStick));

        QVERIFY(machine.userSettings->loadUserSettingsUSB());

        QCOMPARE(notifications.count(), 1);
        const QVariantMap serial = readJson(QStringLiteral("/var/lib/embosser/serialCom"));
        QCOMPARE(serial.value(QStringLiteral("Baudrate")).toString(), QStringLiteral("4800"));
        // A stick's file is not trusted: a nested value is refused, the rest restored.
        QVERIFY(log.contains(QStringLiteral("Parameter Databit has no usable value in file!")));
        QCOMPARE(serial.value(QStringLiteral("Databit")).toString(), QStringLiteral("8"));
    }

    // --- serial number ----------------------------------------------------------------------------

    void announcesSerialNumber_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<bool>("defined");
        QTest::addColumn<QString>("logged");

        QTest::newRow("in memory") << false << false << true << "";
        QTest::newRow("saved") << true << false << true << "";
        QTest::newRow("saving fails") << true << true << true << "writing property Serial No to file failed!";
        QTest::newRow("no such parameter") << true << false << false << "parameter Serial No  not found!";
    }

    void announcesSerialNumber()
    {
        QFETCH(bool, save);
        QFETCH(bool, writeFails);
        QFETCH(bool, defined);
        QFETCH(QString, logged);

        if (!defined) {
            putFile(definitions, m_root->readFile(definitions).replace("\"Serial No\"", "\"Serial Number\""));
        }
        Machine machine;
        machine.file.failing = writeFails;
        QSignalSpy notifications(machine.embosserConf, &EmbosserConf::notification);
        LogCapture log;

        machine.embosserConf->setSerialNo(QStringLiteral("31007"), master, save);

        // Announced also when the write failed, but never when there is nothing to set.
        QCOMPARE(notifications.count(), defined ? 1 : 0);
        if (defined) {
            const QVariantMap expected {
                { ls::notificationIdKey, ls::ConfigManagerNotifId::EmbosserConfChange },
                { ls::actionIdKey, ls::EmbosserConfActionId::SetSerialNo },
                { ls::senderIdKey, ls::ServiceId::ConfigManager },
                { QStringLiteral("Serial No"), QStringLiteral("31007") },
            };
            QCOMPARE(notifications.first().first().toMap(), expected);
            QCOMPARE(machine.embosserConf->embosserInfoCmd().value("Serial No").toString(), QStringLiteral("31007"));
            const QString stored = save && !writeFails ? QStringLiteral("31007") : QStringLiteral("30158");
            QCOMPARE(readJson(conf).value(QStringLiteral("Serial No")).toString(), stored);
        }
        QCOMPARE(machine.file.keys.size(), save && defined ? 1 : 0);
        QVERIFY2(logged.isEmpty() || log.contains(logged), qPrintable(log.messages().join(QLatin1Char('\n'))));
    }

    // --- architecture -------------------------------------------------------------------------

    void writesArchitectureFile()
    {
        const QString arch = QStringLiteral("/var/lib/slave/arch");
        const QString key = QStringLiteral("Architecture for print processor");
        // Without a file, its folder or a flash value, the default becomes the file's content...
        QDir(path(QStringLiteral("/var/lib/slave"))).removeRecursively();
        setFlashField(QStringLiteral("ArchForSlave"), QString());
        Machine {};
        QCOMPARE(readJson(arch), (QVariantMap { { key, QStringLiteral("cortex-m4") } }));

        // ...and a flash value that differs from the file wins.
        setFlashField(QStringLiteral("ArchForSlave"), QStringLiteral("cortex-m7"));
        Machine machine;
        QCOMPARE(readJson(arch), (QVariantMap { { key, QStringLiteral("cortex-m7") } }));
        QCOMPARE(machine.architecture->getArchitecture(master), QStringLiteral("cortex-m7"));
    }

    // --- firmware date and print processor link ------------------------------------------------

    void readsFirmwareDate()
    {
        const QString file = QStringLiteral("/var/lib/update-manager/last-update");
        // The date of the stamp on the first line, whatever the machine's time zone.
        putFile(file, "Wed, 31 Dec 2025 23:30:00 -0500\nbuild 77\n");
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, QStringLiteral("2025-12-31") } }));
        putFile(file, "yesterday\n");
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, QString() } }));
        putFile(file, QByteArray());
        QCOMPARE(Firmware().get(), QVariantMap());
    }

    void readsSlaveConf()
    {
        putFile(QStringLiteral("/etc/slave.conf"), "SLAVE_DEV=\"/dev/tty\\ S1\"\nSLAVE_ID_DEFAULT=4\n");
        ls::PFile reader;
        const SlaveConf slave(reader);

        QCOMPARE(slave.getSlaveDev(), QStringLiteral("/dev/tty S1"));
        QCOMPARE(slave.getSlaveID(), 4);
    }
};

QTEST_GUILESS_MAIN(TestMachineA)
#include "tst_machine_a.moc"
