// The machine's settings files as a whole: the one-time conversion of the previous firmware's
// files, and user settings on the internal disk and on a USB stick.
#include "DataRow.h"
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

namespace {
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
        row("key of another catalog", "parameters.0", QByteArray("# old\nHammer batch = 2300\n"), "embosserhead",
            "Hammer batch", 2300.0, QStringList());
        row("quoted value", "hammerdelta", QByteArray("Hammer 3 delta=\"-12\"\n"), "hammerDelta", "Hammer 3 delta",
            -12.0, QStringList());
        row("key=value file at the path of a JSON file", "counters", QByteArray("Page Counter=1234\n"), "counters",
            "Page Counter", 1234.0, QStringList());
        // Only numbers are converted; text parameters and unusable numbers keep their values.
        row("no known key: still archived", "embosser.conf",
            QByteArray("Colour of the lid=3\nModel=Corvane Darvo\nHammer 2 delta=many\n"), "hammerDelta",
            "Hammer 2 delta", 15.0,
            QStringList { "Colour of the lid not found in any catalog.", "Model invalid value type." });
    }

    void convertsLegacyFile()
    {
        QFETCH(QString, legacyFile);
        QFETCH(QByteArray, content);
        QFETCH(QString, catalog);
        QFETCH(QString, name);
        QFETCH(QStringList, logged);
        QVERIFY(m_root->writeFile("/var/lib/embosser/" + legacyFile, content));
        // "arch", "counters" and "network" share their paths with legacy files but are JSON here,
        // and a JSON text may hold a '=' that reads like a key=value line.
        QVERIFY(
            editJson("/var/lib/embosser/network", [](QVariantMap& network) { network["Passphrase"] = "open=sesame"; }));
        Machine machine;
        LogCapture log;

        machine.settings->convertParameterFiles();

        QCOMPARE(QDir(m_root->file("/var/lib/embosser/old")).entryList(QDir::Files), QStringList { legacyFile });
        QCOMPARE(m_root->readFile("/var/lib/embosser/old/" + legacyFile), content);
        // One rewrite of every settings file puts the converted values into their new files.
        QCOMPARE(machine.file.wholeFiles, topicFiles());
        QTEST(readJson("/var/lib/embosser/" + catalog).value(name).toDouble(), "value");
        for (const QString& message : logged) {
            QVERIFY2(log.contains(message), qPrintable(message));
        }
    }

    void restoresUserSettingsOnce()
    {
        QVERIFY(editJson(userFile, [](QVariantMap& saved) {
            saved.insert("Baudrate", "19200");
            saved.remove("Speech voice");
        }));
        Machine machine;
        QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
        QSignalSpy layoutSaves(machine.settings, &SystemSettings::saveLayoutParametersToFile);
        LogCapture log;

        QVERIFY(machine.userSettings->loadUserSettings());

        QCOMPARE(machine.file.wholeFiles, topicFiles());
        QCOMPARE(layoutSaves.count(), 1);
        QCOMPARE(notifications.count(), 1);
        const QVariantMap restart { { ls::notificationIdKey, ls::ConfigManagerNotifId::RequestServiceRestart },
            { ls::actionIdKey, ls::EmbosserConfActionId::RestoredUserSettings },
            { ls::senderIdKey, ls::ServiceId::ConfigManager } };
        QCOMPARE(notifications.first().first().toMap(), restart);
        QCOMPARE(readJson("/var/lib/embosser/serialCom").value("Baudrate").toString(), QString("19200"));
        // A name missing from the file keeps its value and is reported.
        QVERIFY(log.contains("Parameter Speech voice does not exist in file!"));
        QCOMPARE(readJson("/var/lib/embosser/speech").value("Speech voice").toString(), QString("female"));
    }

    void refusesEmptyUserSettings()
    {
        QVERIFY(m_root->writeFile(
            definitions, m_root->readFile(definitions).replace("Settings\": true", "Settings\": false")));
        const QByteArray before = m_root->readFile(userFile);
        Machine machine;
        LogCapture log;
        QVERIFY(!machine.userSettings->saveUserSettings());
        QVERIFY(log.contains("User settings data is empty!"));
        QCOMPARE(m_root->readFile(userFile), before);
    }

    void transfersUserSettingsOverUsbStick()
    {
        Machine machine;
        machine.store("serialCom", "Baudrate", 38400);
        QSignalSpy notifications(machine.userSettings, &UserSettings::notification);
        LogCapture log;

        // Without a stick nothing is written, not even the folder on the empty mount point.
        QVERIFY(!machine.userSettings->saveUserSettingsUSB());
        QVERIFY(log.contains("Failed to find or create path"));
        QVERIFY(!machine.userSettings->loadUserSettingsUSB());
        QVERIFY(log.contains("/media/sda1/backup/embosser/userSettings//userSettings failed"));
        QVERIFY(!QFileInfo::exists(m_root->file("/media/sda1")));

        QVERIFY(QDir().mkpath(m_root->file("/media/sda1")));
        QVERIFY(machine.userSettings->saveUserSettingsUSB());
        // Every value is saved as text.
        QVariantMap onStick = readJson(usbFile);
        QCOMPARE(onStick.value("Baudrate").toString(), QString("38400"));
        QCOMPARE(onStick.value("Baudrate").userType(), int(QMetaType::QString));
        QCOMPARE(notifications.count(), 0);

        onStick.insert("Baudrate", "4800");
        onStick.insert("Databit", QVariantMap { { "bits", 7 } });
        QVERIFY(ls::JFile().writeFromMap(QString(), m_root->file(usbFile), onStick));
        QVERIFY(machine.userSettings->loadUserSettingsUSB());
        QCOMPARE(notifications.count(), 1);
        const QVariantMap serial = readJson("/var/lib/embosser/serialCom");
        QCOMPARE(serial.value("Baudrate").toString(), QString("4800"));
        // A stick's file is not trusted: a nested value is refused, the rest restored.
        QVERIFY(log.contains("Parameter Databit refused from file: not a plain value"));
        QCOMPARE(serial.value("Databit").toString(), QString("8"));
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoFiles)
#include "tst_systeminfo_files.moc"
