// The machine's settings files as a whole: the identity and its reconciliation with the flash
// memory, the one-time conversion of the previous firmware's files, user settings on the internal
// disk and on a USB stick, the serial number notification, the architecture file, the firmware
// date and the print processor link settings.

#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"

#include "Locations.h"
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
#include <QDirIterator>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using DefinitionsFilter = std::function<void(QVariantMap&)>;

const QString master = masterCollectionKey;

// The JSON reader of the service; the parameter definitions pass through a filter, so that a test
// can run the machine on definitions of its own.
class FilteringReader : public ls::IReader {
public:
    explicit FilteringReader(DefinitionsFilter filter)
        : m_filter(std::move(filter))
    {
    }

    bool readToMap(const QString& file, QVariantMap& out) const override
    {
        const bool read = m_file.readToMap(file, out);
        if (read && m_filter && file.endsWith(QLatin1String("/propertyList.json"))) {
            m_filter(out);
        }
        return read;
    }
    bool read(const QString& file, const QString& key, QString& out) const override
    {
        return m_file.read(file, key, out);
    }
    bool read(const QString& file, const QString& key, QVariant& out) const override
    {
        return m_file.read(file, key, out);
    }

private:
    DefinitionsFilter m_filter;
    ls::JFile m_file;
};

// The JSON writer of the service, recording which files it was asked to write and able to fail.
class RecordingWriter : public ls::IWriter {
public:
    bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const override
    {
        wholeFiles.append(file);
        return !failing && m_file.writeFromMap(directory, file, data);
    }
    bool write(const QString& file, const QString& key, const QVariant& value) const override
    {
        keys.append(file);
        return !failing && m_file.write(file, key, value);
    }
    bool writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const override
    {
        keys.append(file);
        return !failing && m_file.writeKeyPath(file, keyPath, value);
    }
    void clear()
    {
        wholeFiles.clear();
        keys.clear();
    }

    mutable QStringList wholeFiles;
    mutable QStringList keys;
    bool failing = false;

private:
    ls::JFile m_file;
};

// The machine settings as the service builds them at start-up, in the same order.
struct Machine {
    explicit Machine(const DefinitionsFilter& filter = {})
        : reader(filter)
    {
        property = std::make_unique<Property>(reader, writer);
        catalogs = std::make_unique<CatalogsManager>(*property);
        new DefaultParameters(reader, writer, *catalogs, &owner);
        embosserConf = new EmbosserConf(reader, writer, *catalogs, &owner);
        architecture = new Architecture(reader, writer, *catalogs, &owner);
        auto* embosserhead = new Embosserhead(reader, writer, *catalogs, &owner);
        firmware = new Firmware(&owner);
        auto* hammerDelta = new HammerDelta(reader, writer, *catalogs, &owner);
        auto* pageCounter = new PageCounter(reader, writer, *catalogs, &owner);
        auto* parameters = new Parameters(reader, writer, *catalogs, &owner);
        auto* serialCom = new SerialCom(reader, writer, *catalogs, &owner);
        slaveConf = new SlaveConf(oldFiles, &owner);
        auto* speech = new Speech(reader, writer, *catalogs, &owner);
        userSettings = new UserSettings(reader, writer, *property, *catalogs, &owner);
        settings = new SystemSettings(architecture, embosserConf, embosserhead, firmware, hammerDelta, pageCounter,
            parameters, serialCom, slaveConf, speech, userSettings, *catalogs, oldFiles, writer, &owner);
        pageCounter->setModel(embosserConf->getModel(master));
    }

    QVariant value(const QString& catalog, const QString& name) const
    {
        const ParametersCatalog* found = catalogs->getCatalog(catalog, master);
        const EmbosserParameter* parameter = found ? found->parameter(name) : nullptr;
        return parameter ? parameter->value : QVariant();
    }

    RecordingWriter writer;
    FilteringReader reader;
    ls::PFile oldFiles;
    std::unique_ptr<Property> property;
    std::unique_ptr<CatalogsManager> catalogs;
    // Parent of every object below; destroyed before the catalogs they refer to.
    QObject owner;
    EmbosserConf* embosserConf = nullptr;
    Architecture* architecture = nullptr;
    Firmware* firmware = nullptr;
    SlaveConf* slaveConf = nullptr;
    UserSettings* userSettings = nullptr;
    SystemSettings* settings = nullptr;
};

const QStringList topicFiles = {
    QStringLiteral("/var/lib/slave/arch"),
    QStringLiteral("/var/lib/embosser/embosserConf"),
    QStringLiteral("/var/lib/embosser/embosserhead"),
    QStringLiteral("/var/lib/embosser/hammerDelta"),
    QStringLiteral("/var/lib/embosser/counters"),
    QStringLiteral("/var/lib/embosser/parameters"),
    QStringLiteral("/var/lib/embosser/serialCom"),
    QStringLiteral("/var/lib/embosser/speech"),
};

} // namespace

class TestMachineA : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void reconcilesModelWithFlash_data();
    void reconcilesModelWithFlash();

    void convertsLegacyFile_data();
    void convertsLegacyFile();
    void archivesLegacyFileWithoutKnownKeys();
    void leavesJsonSettingsFilesInPlace();

    void restoresUserSettingsOnce();
    void exportsUserSettingsAsText();
    void refusesEmptyUserSettings();
    void transfersUserSettingsOverUsbStick();
    void refusesUsbTransferWithoutStick();

    void announcesSerialNumber_data();
    void announcesSerialNumber();
    void keepsQuietWithoutSerialNumber_data();
    void keepsQuietWithoutSerialNumber();
    void savesFirstTimeSetupAlways();

    void writesArchitectureFile_data();
    void writesArchitectureFile();

    void savesAndReloadsAllFiles();
    void reportsCurrentConfiguration();

    void readsFirmwareDate_data();
    void readsFirmwareDate();
    void readsSlaveConf_data();
    void readsSlaveConf();

private:
    QString path(const QString& machinePath) const { return m_root->file(machinePath); }
    QVariantMap readJson(const QString& machinePath) const;
    void setFlashField(const QString& field, const QString& value) const;
    QString flashField(const QString& field) const;
    void restoreFolder(const QString& machinePath) const;

    std::unique_ptr<TestRoot> m_root;
    QByteArray m_flash;
};

void TestMachineA::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_root->isValid());
    m_flash = m_root->readFile(QStringLiteral("/var/lib/sim/eeprom"));
    QVERIFY(!m_flash.isEmpty());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("/media/sda1"))));
}

void TestMachineA::cleanup()
{
    restoreFolder(QStringLiteral("/var/lib/embosser"));
    restoreFolder(QStringLiteral("/var/lib/slave"));
    QVERIFY(m_root->restoreShipped(QStringLiteral("/etc/slave.conf")));
    QVERIFY(m_root->restoreShipped(QStringLiteral("/var/lib/update-manager/last-update")));
    QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/sim/eeprom"), m_flash));
    QDir(path(QStringLiteral("/media/sda1"))).removeRecursively();
    SimCalls(m_root->path()).clear();
}

void TestMachineA::restoreFolder(const QString& machinePath) const
{
    QDir(path(machinePath)).removeRecursively();
    const QString shipped = TestRoot::sourceDir() + QStringLiteral("/data") + machinePath;
    QDirIterator files(shipped, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QVERIFY(m_root->restoreShipped(files.next().mid(shipped.size() - machinePath.size())));
    }
}

QVariantMap TestMachineA::readJson(const QString& machinePath) const
{
    QVariantMap content;
    ls::JFile().readToMap(path(machinePath), content);
    return content;
}

void TestMachineA::setFlashField(const QString& field, const QString& value) const
{
    QList<QByteArray> lines = m_root->readFile(QStringLiteral("/var/lib/sim/eeprom")).split('\n');
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                    [&](const QByteArray& line) { return line.isEmpty() || line.startsWith(field.toUtf8() + '='); }),
        lines.end());
    if (!value.isNull()) {
        lines.append(field.toUtf8() + '=' + value.toUtf8());
    }
    QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/sim/eeprom"), lines.join('\n') + '\n'));
}

QString TestMachineA::flashField(const QString& field) const
{
    const QList<QByteArray> lines = m_root->readFile(QStringLiteral("/var/lib/sim/eeprom")).split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field.toUtf8() + '=')) {
            return QString::fromUtf8(line.mid(field.size() + 1));
        }
    }
    return QString();
}

// --- identity and flash ------------------------------------------------------------------------

void TestMachineA::reconcilesModelWithFlash_data()
{
    QTest::addColumn<QVariant>("fileModel"); // invalid: no "Model" in the file
    QTest::addColumn<QString>("flashModel"); // null: no "Model" in the flash
    QTest::addColumn<QList<QStringList>>("settingsCalls");
    QTest::addColumn<QList<QStringList>>("factoryCalls");
    QTest::addColumn<QString>("model");

    const QString zentra = QStringLiteral("Corvane Zentra");
    const QStringList saveAndRestart { QStringLiteral("-s"), QStringLiteral("-r") };
    // The last step saves the flash information whenever the flash model read at the start
    // differs from the configured one; an unreadable flash model differs from every text. So a
    // flash without model is saved twice, and a settings reset from the flash model is followed
    // by a save.
    QTest::newRow("fresh machine: no model anywhere")
        << QVariant(QString()) << QString()
        << QList<QStringList> { { QStringLiteral("-a"), QStringLiteral("-c"), QStringLiteral("-m"), zentra } }
        << QList<QStringList> { saveAndRestart, saveAndRestart } << zentra;
    QTest::newRow("fresh machine: model from the defaults only")
        << QVariant() << QString() << QList<QStringList>() << QList<QStringList> { saveAndRestart, saveAndRestart }
        << zentra;
    QTest::newRow("model only in the flash")
        << QVariant(QString()) << QStringLiteral("Corvane Alvero-D V5")
        << QList<QStringList> { { QStringLiteral("-a"), QStringLiteral("-c") } }
        << QList<QStringList> { saveAndRestart } << QStringLiteral("Corvane Alvero-D V5");
    QTest::newRow("model only in the file") << QVariant(zentra) << QString() << QList<QStringList>()
                                            << QList<QStringList> { saveAndRestart, saveAndRestart } << zentra;
    QTest::newRow("models differ: the file wins")
        << QVariant(zentra) << QStringLiteral("Corvane Darvo") << QList<QStringList>()
        << QList<QStringList> { saveAndRestart } << zentra;
    QTest::newRow("models agree") << QVariant(zentra) << zentra << QList<QStringList>() << QList<QStringList>()
                                  << zentra;
}

void TestMachineA::reconcilesModelWithFlash()
{
    QFETCH(QVariant, fileModel);
    QFETCH(QString, flashModel);
    QFETCH(QList<QStringList>, settingsCalls);
    QFETCH(QList<QStringList>, factoryCalls);
    QFETCH(QString, model);

    QVariantMap conf = readJson(QStringLiteral("/var/lib/embosser/embosserConf"));
    if (fileModel.isValid()) {
        conf.insert(QStringLiteral("Model"), fileModel);
    } else {
        conf.remove(QStringLiteral("Model"));
    }
    conf.insert(QStringLiteral("Tested By"), QStringLiteral("QA-99"));
    QVERIFY(ls::JFile().writeFromMap(QString(), path(QStringLiteral("/var/lib/embosser/embosserConf")), conf));
    setFlashField(QStringLiteral("Model"), flashModel);
    const SimCalls calls(m_root->path());
    calls.clear();

    Machine machine;

    QCOMPARE(calls.of(QStringLiteral("embosser-settings.sh")), settingsCalls);
    QCOMPARE(calls.of(QStringLiteral("embosser-factory.sh")), factoryCalls);
    QCOMPARE(machine.embosserConf->getModel(master), model);
    QCOMPARE(flashField(QStringLiteral("Model")), model);
    // What the machine became is in its settings file too, not only in memory.
    const QVariantMap stored = readJson(QStringLiteral("/var/lib/embosser/embosserConf"));
    QCOMPARE(stored.value(QStringLiteral("Model")).toString(),
        fileModel.isValid() ? model : (settingsCalls.isEmpty() ? QString() : model));
    // A settings reset replaces the identity with the factory's, in the file and in memory alike.
    const QString testedBy = settingsCalls.isEmpty() ? QStringLiteral("QA-99") : QStringLiteral("QA-07");
    QCOMPARE(stored.value(QStringLiteral("Tested By")).toString(), testedBy);
    QCOMPARE(machine.embosserConf->getTestedBy(master), testedBy);
}

// --- conversion of the previous firmware's files -----------------------------------------------

void TestMachineA::convertsLegacyFile_data()
{
    QTest::addColumn<QString>("legacyFile");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("settingsFile");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("value");

    QTest::newRow("key of the file's own catalog")
        << "/var/lib/embosser/parameters.0" << QByteArray("PF Step dist=0.6\n") << "/var/lib/embosser/parameters"
        << "PF Step dist" << 0.6;
    QTest::newRow("key of another catalog")
        << "/var/lib/embosser/parameters.0" << QByteArray("# old parameters\nHammer batch = 2300\n")
        << "/var/lib/embosser/embosserhead"
        << "Hammer batch" << 2300.0;
    QTest::newRow("quoted value") << "/var/lib/embosser/hammerdelta" << QByteArray("Hammer 3 delta=\"-12\"\n")
                                  << "/var/lib/embosser/hammerDelta"
                                  << "Hammer 3 delta" << -12.0;
    QTest::newRow("key=value file at the path of a JSON file")
        << "/var/lib/embosser/counters" << QByteArray("Page Counter=1234\n") << "/var/lib/embosser/counters"
        << "Page Counter" << 1234.0;
}

void TestMachineA::convertsLegacyFile()
{
    QFETCH(QString, legacyFile);
    QFETCH(QByteArray, content);
    QFETCH(QString, settingsFile);
    QFETCH(QString, name);
    QFETCH(double, value);

    QVERIFY(m_root->writeFile(legacyFile, content));
    Machine machine;
    machine.writer.clear();

    machine.settings->convertParameterFiles();

    const QString archived = QStringLiteral("/var/lib/embosser/old/") + QFileInfo(legacyFile).fileName();
    QCOMPARE(m_root->readFile(archived), content);
    QCOMPARE(readJson(settingsFile).value(name).toDouble(), value);
    QCOMPARE(machine.value(QFileInfo(settingsFile).fileName(), name).toDouble(), value);
    // One rewrite of every settings file: the converted values are in their new files.
    for (const QString& file : topicFiles) {
        QCOMPARE(machine.writer.wholeFiles.count(path(file)), 1);
    }
}

void TestMachineA::archivesLegacyFileWithoutKnownKeys()
{
    const QByteArray content("Colour of the lid=3\nModel=Corvane Darvo\nHammer 2 delta=many\n");
    QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/embosser/embosser.conf"), content));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("/var/lib/embosser/old"))));
    Machine machine;
    LogCapture log;

    machine.settings->convertParameterFiles();

    QVERIFY(log.contains(QStringLiteral("Colour of the lid not found in any catalog.")));
    // Only numbers are converted; text parameters and unusable numbers keep their values.
    QVERIFY(log.contains(QStringLiteral("Model invalid value type.")));
    QCOMPARE(machine.embosserConf->getModel(master), QStringLiteral("Corvane Zentra"));
    QCOMPARE(machine.value(QStringLiteral("hammerDelta"), QStringLiteral("Hammer 2 delta")).toInt(), 15);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("/var/lib/embosser/embosser.conf"))));
    QCOMPARE(m_root->readFile(QStringLiteral("/var/lib/embosser/old/embosser.conf")), content);
}

void TestMachineA::leavesJsonSettingsFilesInPlace()
{
    // A JSON text may hold a '=' that reads like a key=value line.
    QVariantMap network = readJson(QStringLiteral("/var/lib/embosser/network"));
    network.insert(QStringLiteral("Passphrase"), QStringLiteral("open=sesame"));
    QVERIFY(ls::JFile().writeFromMap(QString(), path(QStringLiteral("/var/lib/embosser/network")), network));
    Machine machine;
    machine.writer.clear();

    machine.settings->convertParameterFiles();

    // "arch", "counters" and "network" share their paths with legacy files but are JSON here.
    QVERIFY(machine.writer.wholeFiles.isEmpty());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("/var/lib/embosser/old"))));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("/var/lib/embosser/network"))));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("/var/lib/embosser/counters"))));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("/var/lib/slave/arch"))));
}

// --- user settings -----------------------------------------------------------------------------

void TestMachineA::restoresUserSettingsOnce()
{
    QVariantMap saved = readJson(QStringLiteral("/var/lib/embosser/userSettings"));
    saved.insert(QStringLiteral("Baudrate"), QStringLiteral("19200"));
    saved.insert(QStringLiteral("Volume"), QStringLiteral("high"));
    saved.remove(QStringLiteral("Speech voice"));
    QVERIFY(ls::JFile().writeFromMap(QString(), path(QStringLiteral("/var/lib/embosser/userSettings")), saved));
    Machine machine;
    machine.writer.clear();
    QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
    QSignalSpy layoutSaves(machine.settings, &SystemSettings::saveLayoutParametersToFile);
    LogCapture log;

    QVERIFY(machine.userSettings->loadUserSettings());

    QStringList expected;
    for (const QString& file : topicFiles) {
        expected.append(path(file));
    }
    QCOMPARE(machine.writer.wholeFiles, expected);
    QVERIFY(machine.writer.keys.isEmpty());
    QCOMPARE(layoutSaves.count(), 1);
    QCOMPARE(notifications.count(), 1);
    const QVariantMap restart {
        { ls::notificationIdKey, ls::ConfigManagerNotifId::RequestServiceRestart },
        { ls::actionIdKey, ls::EmbosserConfActionId::RestoredUserSettings },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
    };
    QCOMPARE(notifications.first().first().toMap(), restart);

    QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/serialCom")).value(QStringLiteral("Baudrate")).toString(),
        QStringLiteral("19200"));
    QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/speech")).value(QStringLiteral("Volume")).toString(),
        QStringLiteral("high"));
    // A name missing from the file keeps its value and is reported.
    QVERIFY(log.contains(QStringLiteral("Parameter Speech voice does not exist in file!")));
    QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/speech")).value(QStringLiteral("Speech voice")).toString(),
        QStringLiteral("female"));
}

void TestMachineA::exportsUserSettingsAsText()
{
    Machine machine;
    machine.catalogs->getCatalog(QStringLiteral("serialCom"), master)
        ->getParameter(QStringLiteral("Baudrate"), false)
        ->value
        = 38400;
    QFile::remove(path(QStringLiteral("/var/lib/embosser/userSettings")));

    QVERIFY(machine.userSettings->saveUserSettings());

    const QVariantMap saved = readJson(QStringLiteral("/var/lib/embosser/userSettings"));
    int listed = 0;
    const auto list = machine.userSettings->userSettingsList();
    for (const QStringList& names : list) {
        listed += names.size();
    }
    QCOMPARE(saved.size(), listed);
    QVERIFY(listed > 0);
    QVERIFY(!list.contains(QStringLiteral("embosserConf"))); // no identity value is a user setting
    for (auto it = saved.constBegin(); it != saved.constEnd(); ++it) {
        QVERIFY2(it.value().userType() == QMetaType::QString, qPrintable(it.key()));
    }
    QCOMPARE(saved.value(QStringLiteral("Baudrate")), QVariant(QStringLiteral("38400")));
}

void TestMachineA::refusesEmptyUserSettings()
{
    const QByteArray before = m_root->readFile(QStringLiteral("/var/lib/embosser/userSettings"));
    Machine machine([](QVariantMap& catalogs) {
        for (auto catalog = catalogs.begin(); catalog != catalogs.end(); ++catalog) {
            QVariantMap parameters = catalog->toMap();
            for (auto parameter = parameters.begin(); parameter != parameters.end(); ++parameter) {
                QVariantMap definition = parameter->toMap();
                definition.insert(QStringLiteral("saveUserSettings"), false);
                *parameter = definition;
            }
            *catalog = parameters;
        }
    });
    LogCapture log;

    QVERIFY(!machine.userSettings->saveUserSettings());

    QVERIFY(log.contains(QStringLiteral("User settings data is empty!")));
    QCOMPARE(m_root->readFile(QStringLiteral("/var/lib/embosser/userSettings")), before);
}

void TestMachineA::transfersUserSettingsOverUsbStick()
{
    QVERIFY(QDir().mkpath(path(QStringLiteral("/media/sda1"))));
    const QString usbFile = QStringLiteral("/media/sda1/backup/embosser/userSettings/userSettings");
    Machine machine;
    QSignalSpy notifications(machine.userSettings, &UserSettings::notification);

    QVERIFY(machine.userSettings->saveUserSettingsUSB());
    QCOMPARE(readJson(usbFile), machine.userSettings->writeUserSettingsFile());
    QCOMPARE(notifications.count(), 0);

    QVariantMap onStick = readJson(usbFile);
    onStick.insert(QStringLiteral("Baudrate"), QStringLiteral("4800"));
    onStick.insert(QStringLiteral("Databit"), QVariantMap { { QStringLiteral("bits"), 7 } });
    QVERIFY(ls::JFile().writeFromMap(QString(), path(usbFile), onStick));
    LogCapture log;

    QVERIFY(machine.userSettings->loadUserSettingsUSB());

    QCOMPARE(notifications.count(), 1);
    const QVariantMap serial = readJson(QStringLiteral("/var/lib/embosser/serialCom"));
    QCOMPARE(serial.value(QStringLiteral("Baudrate")).toString(), QStringLiteral("4800"));
    // A stick's file is not trusted: a nested value is refused, the rest restored.
    QVERIFY(log.contains(QStringLiteral("Parameter Databit has no usable value in file!")));
    QCOMPARE(serial.value(QStringLiteral("Databit")).toString(), QStringLiteral("8"));
}

void TestMachineA::refusesUsbTransferWithoutStick()
{
    Machine machine;
    machine.writer.clear();
    QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
    LogCapture log;

    QVERIFY(!machine.userSettings->saveUserSettingsUSB());
    QVERIFY(log.contains(QStringLiteral("Failed to find or create path")));
    QVERIFY(!machine.userSettings->loadUserSettingsUSB());
    QVERIFY(log.contains(QStringLiteral("/media/sda1/backup/embosser/userSettings//userSettings failed")));

    // Nothing written, not even the folder on the empty mount point.
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("/media/sda1"))));
    QVERIFY(machine.writer.wholeFiles.isEmpty());
    QCOMPARE(notifications.count(), 0);
}

// --- serial number and first-time setup --------------------------------------------------------

void TestMachineA::announcesSerialNumber_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QString>("storedSerial");

    QTest::newRow("in memory") << false << false << "30158";
    QTest::newRow("saved") << true << false << "31007";
    QTest::newRow("saving fails") << true << true << "30158";
}

void TestMachineA::announcesSerialNumber()
{
    QFETCH(bool, save);
    QFETCH(bool, writeFails);
    QFETCH(QString, storedSerial);

    Machine machine;
    machine.writer.clear();
    machine.writer.failing = writeFails;
    QSignalSpy notifications(machine.embosserConf, &EmbosserConf::notification);
    LogCapture log;

    machine.embosserConf->setSerialNo(QStringLiteral("31007"), master, save);

    QCOMPARE(notifications.count(), 1);
    const QVariantMap announced {
        { ls::notificationIdKey, ls::ConfigManagerNotifId::EmbosserConfChange },
        { ls::actionIdKey, ls::EmbosserConfActionId::SetSerialNo },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
        { QStringLiteral("Serial No"), QStringLiteral("31007") },
    };
    QCOMPARE(notifications.first().first().toMap(), announced);
    QCOMPARE(
        machine.embosserConf->embosserInfoCmd().value(QStringLiteral("Serial No")).toString(), QStringLiteral("31007"));
    QCOMPARE(machine.writer.keys.size(), save ? 1 : 0);
    QCOMPARE(readJson(QStringLiteral("/var/lib/embosser/embosserConf")).value(QStringLiteral("Serial No")).toString(),
        storedSerial);
    QCOMPARE(log.contains(QStringLiteral("writing property Serial No to file failed!")), writeFails);
}

void TestMachineA::keepsQuietWithoutSerialNumber_data()
{
    QTest::addColumn<bool>("withoutParameter");
    QTest::addColumn<QString>("logged");

    QTest::newRow("no such parameter") << true << "parameter Serial No  not found!";
    QTest::newRow("no such catalog") << false << "embosserConf catalog does not exist.";
}

void TestMachineA::keepsQuietWithoutSerialNumber()
{
    QFETCH(bool, withoutParameter);
    QFETCH(QString, logged);

    DefinitionsFilter filter;
    if (withoutParameter) {
        filter = [](QVariantMap& catalogs) {
            QVariantMap conf = catalogs.value(QStringLiteral("embosserConf")).toMap();
            conf.remove(QStringLiteral("Serial No"));
            catalogs.insert(QStringLiteral("embosserConf"), conf);
        };
    }
    Machine machine(filter);
    if (!withoutParameter) {
        QVERIFY(machine.catalogs->removeCatalogsCollection(master));
    }
    machine.writer.clear();
    QSignalSpy notifications(machine.embosserConf, &EmbosserConf::notification);
    LogCapture log;

    machine.embosserConf->setSerialNo(QStringLiteral("31007"), master, true);

    QCOMPARE(notifications.count(), 0);
    QVERIFY(machine.writer.keys.isEmpty());
    QVERIFY2(log.contains(logged), qPrintable(log.messages().join(QLatin1Char('\n'))));
}

void TestMachineA::savesFirstTimeSetupAlways()
{
    Machine machine;
    QVERIFY(machine.catalogs->duplicateCatalog(master, QStringLiteral("job")));
    // Only the master collection counts, whatever other collections say.
    machine.embosserConf->accessor().setValue(
        QStringLiteral("First Time Setup"), 0, QStringLiteral("job"), false, Q_FUNC_INFO);
    QCOMPARE(machine.embosserConf->getFirstTimeSetup(), 1);

    machine.embosserConf->setFirstTimeSetup(0);

    QCOMPARE(machine.embosserConf->getFirstTimeSetup(), 0);
    QCOMPARE(machine.value(QStringLiteral("embosserConf"), QStringLiteral("First Time Setup")).toInt(), 0);
    QCOMPARE(
        readJson(QStringLiteral("/var/lib/embosser/embosserConf")).value(QStringLiteral("First Time Setup")).toInt(),
        0);
}

// --- architecture ------------------------------------------------------------------------------

void TestMachineA::writesArchitectureFile_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file and no folder
    QTest::addColumn<QString>("flash"); // null: not in the flash
    QTest::addColumn<QString>("written");

    QTest::newRow("no file, no folder") << QByteArray() << "cortex-m4"
                                        << "cortex-m4";
    QTest::newRow("empty object, default only") << QByteArray("{}") << QString() << "cortex-m4";
    QTest::newRow("flash differs from the file")
        << QByteArray("{\"Architecture for print processor\": \"cortex-m4\"}") << "cortex-m7"
        << "cortex-m7";
}

void TestMachineA::writesArchitectureFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, flash);
    QFETCH(QString, written);

    QDir(path(QStringLiteral("/var/lib/slave"))).removeRecursively();
    if (!content.isNull()) {
        QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/slave/arch"), content));
    }
    setFlashField(QStringLiteral("ArchForSlave"), flash);

    Machine machine;

    QCOMPARE(readJson(QStringLiteral("/var/lib/slave/arch")),
        (QVariantMap { { QStringLiteral("Architecture for print processor"), written } }));
    QCOMPARE(machine.architecture->getArchitecture(master), written);
}

// --- all files together ------------------------------------------------------------------------

void TestMachineA::savesAndReloadsAllFiles()
{
    Machine machine;
    machine.writer.clear();
    QSignalSpy layoutSaves(machine.settings, &SystemSettings::saveLayoutParametersToFile);

    machine.settings->saveAllParameterFiles();

    QStringList expected;
    for (const QString& file : topicFiles) {
        expected.append(path(file));
    }
    QCOMPARE(machine.writer.wholeFiles, expected);
    QCOMPARE(layoutSaves.count(), 1);

    QVariantMap speech = readJson(QStringLiteral("/var/lib/embosser/speech"));
    speech.insert(QStringLiteral("Volume"), QStringLiteral("low"));
    QVERIFY(ls::JFile().writeFromMap(QString(), path(QStringLiteral("/var/lib/embosser/speech")), speech));
    QVariantMap conf = readJson(QStringLiteral("/var/lib/embosser/embosserConf"));
    conf.remove(QStringLiteral("Tested By"));
    QVERIFY(ls::JFile().writeFromMap(QString(), path(QStringLiteral("/var/lib/embosser/embosserConf")), conf));
    machine.embosserConf->setTestedBy(QStringLiteral("QA-11"), master, false);

    machine.settings->reloadAllParameterFiles();

    QCOMPARE(machine.value(QStringLiteral("speech"), QStringLiteral("Volume")).toString(), QStringLiteral("low"));
    // A value the files do not hold keeps its current value.
    QCOMPARE(machine.embosserConf->getTestedBy(master), QStringLiteral("QA-11"));
}

void TestMachineA::reportsCurrentConfiguration()
{
    Machine machine;

    const QList<QPair<QString, QVariantMap>> configuration = machine.settings->currentConfigurationCmd();

    QStringList names;
    for (const auto& family : configuration) {
        names.append(family.first);
    }
    QCOMPARE(names,
        (QStringList {
            "Architecture", "Embosserhead", "Firmware", "Parameters", "Page Counter", "Serial Com", "Speech" }));
    QCOMPARE(configuration.at(0).second,
        (QVariantMap { { QStringLiteral("Architecture for print processor"), QStringLiteral("cortex-m4") } }));
    QCOMPARE(configuration.at(2).second, (QVariantMap { { ls::firmwareKey, QStringLiteral("2025-10-14") } }));
    QCOMPARE(configuration.at(4).second.size(), 5);
    QCOMPARE(configuration.at(5).second.value(QStringLiteral("Baudrate")).toInt(), 9600);
}

// --- firmware date and print processor link ----------------------------------------------------

void TestMachineA::readsFirmwareDate_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QVariantMap>("expected");

    const auto date = [](const char* text) { return QVariantMap { { ls::firmwareKey, QString::fromLatin1(text) } }; };
    QTest::newRow("RFC 2822 stamp") << QByteArray("Tue, 14 Oct 2025 09:12:44 +0200\n") << date("2025-10-14");
    // The date of the stamp itself, whatever the machine's time zone.
    QTest::newRow("late in the day west of UTC") << QByteArray("Wed, 31 Dec 2025 23:30:00 -0500") << date("2025-12-31");
    QTest::newRow("first line only") << QByteArray("Mon, 02 Jun 2025 08:00:00 +0000\nbuild 77\n") << date("2025-06-02");
    QTest::newRow("not a date") << QByteArray("yesterday\n") << date("");
    QTest::newRow("no file") << QByteArray() << QVariantMap();
}

void TestMachineA::readsFirmwareDate()
{
    QFETCH(QByteArray, content);
    QFETCH(QVariantMap, expected);

    const QString file = QStringLiteral("/var/lib/update-manager/last-update");
    if (content.isNull()) {
        QVERIFY(QFile::remove(path(file)));
    } else {
        QVERIFY(m_root->writeFile(file, content));
    }

    QCOMPARE(Firmware().get(), expected);
}

void TestMachineA::readsSlaveConf_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("id");

    QTest::newRow("shipped file") << m_root->readFile(QStringLiteral("/etc/slave.conf")) << "/dev/ttymxc2" << 1;
    QTest::newRow("escaped blank") << QByteArray("SLAVE_DEV=\"/dev/tty\\ S1\"\nSLAVE_ID_DEFAULT=4\n") << "/dev/tty S1"
                                   << 4;
    QTest::newRow("id not a number") << QByteArray("SLAVE_DEV=/dev/ttyS2\nSLAVE_ID_DEFAULT=first\n") << "/dev/ttyS2"
                                     << 0;
    QTest::newRow("no file") << QByteArray() << "" << 0;
}

void TestMachineA::readsSlaveConf()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, device);
    QFETCH(int, id);

    const QString file = QStringLiteral("/etc/slave.conf");
    if (content.isNull()) {
        QVERIFY(QFile::remove(path(file)));
    } else {
        QVERIFY(m_root->writeFile(file, content));
    }
    ls::PFile reader;
    const SlaveConf slave(reader);

    QCOMPARE(slave.getSlaveDev(), device);
    QCOMPARE(slave.getSlaveID(), id);
}

QTEST_GUILESS_MAIN(TestMachineA)
#include "tst_machine_a.moc"
