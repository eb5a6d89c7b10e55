// The machine's settings files as a whole: the one-time conversion of the previous firmware's
// files, and user settings on the internal disk and on a USB stick.
#include "LogCapture.h"
#include "MachineTest.h"

#include "ls/ConfigManagerNotifId.h"
#include "ls/EmbosserConfActionId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "systeminfo/SystemSettings.h"
#include "systeminfo/UserSettings.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
const QString master = masterCollectionKey;
const QString userFile = QStringLiteral("/var/lib/embosser/userSettings");
const QString usbFile = QStringLiteral("/media/sda1/backup/embosser/userSettings/userSettings");
const QString definitions = QStringLiteral("/usr/share/configuration-manager/propertyList.json");
} // namespace

class TestSystemInfoFiles : public MachineTest {
    Q_OBJECT

private slots:
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

        QVERIFY(m_root->writeFile("/var/lib/embosser/" + legacyFile, content));
        // "arch", "counters" and "network" share their paths with legacy files but are JSON here,
        // and a JSON text may hold a '=' that reads like a key=value line.
        QVERIFY(m_files->editJson(QStringLiteral("/var/lib/embosser/network"),
            [](QVariantMap& network) { network.insert(QStringLiteral("Passphrase"), QStringLiteral("open=sesame")); }));
        Machine machine;
        LogCapture log;

        machine.settings->convertParameterFiles();

        QCOMPARE(QDir(m_files->path("/var/lib/embosser/old")).entryList(QDir::Files), QStringList { legacyFile });
        QCOMPARE(m_root->readFile("/var/lib/embosser/old/" + legacyFile), content);
        // One rewrite of every settings file puts the converted values into their new files.
        QCOMPARE(machine.file.wholeFiles, m_files->topicFiles());
        QCOMPARE(m_files->readJson("/var/lib/embosser/" + catalog).value(name).toDouble(), value);
        for (const QString& message : logged) {
            QVERIFY2(log.contains(message), qPrintable(message));
        }
    }

    void restoresUserSettingsOnce()
    {
        QVERIFY(m_files->editJson(userFile, [](QVariantMap& saved) {
            saved.insert(QStringLiteral("Baudrate"), QStringLiteral("19200"));
            saved.remove(QStringLiteral("Speech voice"));
        }));
        Machine machine;
        QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
        QSignalSpy layoutSaves(machine.settings, &SystemSettings::saveLayoutParametersToFile);
        LogCapture log;

        QVERIFY(machine.userSettings->loadUserSettings());

        QCOMPARE(machine.file.wholeFiles, m_files->topicFiles());
        QCOMPARE(layoutSaves.count(), 1);
        QCOMPARE(notifications.count(), 1);
        const QVariantMap restart {
            { ls::notificationIdKey, ls::ConfigManagerNotifId::RequestServiceRestart },
            { ls::actionIdKey, ls::EmbosserConfActionId::RestoredUserSettings },
            { ls::senderIdKey, ls::ServiceId::ConfigManager },
        };
        QCOMPARE(notifications.first().first().toMap(), restart);
        QCOMPARE(
            m_files->readJson(QStringLiteral("/var/lib/embosser/serialCom")).value("Baudrate").toString(), "19200");
        // A name missing from the file keeps its value and is reported.
        QVERIFY(log.contains(QStringLiteral("Parameter Speech voice does not exist in file!")));
        QCOMPARE(
            m_files->readJson(QStringLiteral("/var/lib/embosser/speech")).value("Speech voice").toString(), "female");
    }

    void refusesEmptyUserSettings()
    {
        QVERIFY(m_root->writeFile(
            definitions, m_root->readFile(definitions).replace("Settings\": true", "Settings\": false")));
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
        QVERIFY(!QFileInfo::exists(m_files->path(QStringLiteral("/media/sda1"))));

        QVERIFY(QDir().mkpath(m_files->path(QStringLiteral("/media/sda1"))));
        QVERIFY(machine.userSettings->saveUserSettingsUSB());

        // Every value is saved as text.
        QVariantMap onStick = m_files->readJson(usbFile);
        QCOMPARE(onStick.value(QStringLiteral("Baudrate")), QVariant(QStringLiteral("38400")));
        QCOMPARE(onStick.value(QStringLiteral("Baudrate")).userType(), int(QMetaType::QString));
        QCOMPARE(notifications.count(), 0);

        onStick.insert(QStringLiteral("Baudrate"), QStringLiteral("4800"));
        onStick.insert(QStringLiteral("Databit"), QVariantMap { { QStringLiteral("bits"), 7 } });
        QVERIFY(ls::JFile().writeFromMap(QString(), m_files->path(usbFile), onStick));

        QVERIFY(machine.userSettings->loadUserSettingsUSB());

        QCOMPARE(notifications.count(), 1);
        const QVariantMap serial = m_files->readJson(QStringLiteral("/var/lib/embosser/serialCom"));
        QCOMPARE(serial.value(QStringLiteral("Baudrate")).toString(), QStringLiteral("4800"));
        // A stick's file is not trusted: a nested value is refused, the rest restored.
        QVERIFY(log.contains(QStringLiteral("Parameter Databit refused from file: not a plain value")));
        QCOMPARE(serial.value(QStringLiteral("Databit")).toString(), QStringLiteral("8"));
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoFiles)
#include "tst_systeminfo_files.moc"
