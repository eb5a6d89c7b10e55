// The machine's identity: the model's reconciliation with the flash memory, the serial number
// notification, the architecture file, the firmware date and the print processor link settings.
#include "DataRow.h"
#include "LogCapture.h"
#include "MachineTest.h"
#include "SimCalls.h"

#include "ls/ConfigManagerNotifId.h"
#include "ls/EmbosserConfActionId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Firmware.h"
#include "systeminfo/SlaveConf.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString master = masterCollectionKey;
const QString conf = QStringLiteral("/var/lib/embosser/embosserConf");
const QString definitions = QStringLiteral("/usr/share/configuration-manager/propertyList.json");
using Calls = QList<QStringList>;
} // namespace

class TestSystemInfoIdentity : public MachineTest {
    Q_OBJECT

private slots:
    void reconcilesModelWithFlash_data()
    {
        QTest::addColumn<QString>("fileModel");
        QTest::addColumn<QString>("flashModel"); // null: no model in the flash
        QTest::addColumn<Calls>("settingsCalls");
        QTest::addColumn<Calls>("factoryCalls");
        QTest::addColumn<QString>("model");
        const QString zentra = "Corvane Zentra";
        const QString alvero = "Corvane Alvero-D V5";
        const QStringList save { "-s", "-r" };
        // The last step saves the flash whenever the flash model read at the start differs from the
        // configured one, and an unreadable flash model differs from every text: a flash without
        // model is saved twice, and a settings reset from the flash model is followed by a save.
        row("fresh machine", "", QString(), Calls { { "-a", "-c", "-m", zentra } }, Calls { save, save }, zentra);
        row("model only in the flash", "", alvero, Calls { { "-a", "-c" } }, Calls { save }, alvero);
        row("model only in the file", zentra, QString(), Calls(), Calls { save, save }, zentra);
        row("models differ: the file wins", zentra, "Corvane Darvo", Calls(), Calls { save }, zentra);
        row("models agree", zentra, zentra, Calls(), Calls(), zentra);
    }

    void reconcilesModelWithFlash()
    {
        QFETCH(QString, fileModel);
        QFETCH(QString, flashModel);
        QFETCH(Calls, settingsCalls);
        QFETCH(QString, model);
        QVERIFY(editJson(conf, [&](QVariantMap& content) {
            content.insert("Model", fileModel);
            content.insert("Tested By", "QA-99");
        }));
        QVERIFY(setFlashField("Model", flashModel));
        const SimCalls calls(m_root->path());
        calls.clear();

        Machine machine;

        QCOMPARE(calls.of("embosser-settings.sh"), settingsCalls);
        QTEST(calls.of("embosser-factory.sh"), "factoryCalls");
        QCOMPARE(machine.embosserConf->getModel(master), model);
        QVERIFY(m_root->readFile(flashFile).split('\n').contains("Model=" + model.toUtf8()));
        // A settings reset replaces the identity with the factory's, in the file and in memory alike.
        const QString testedBy = settingsCalls.isEmpty() ? "QA-99" : "QA-07";
        QCOMPARE(readJson(conf).value("Tested By").toString(), testedBy);
        QCOMPARE(machine.embosserConf->embosserInfoCmd().value("Tested By").toString(), testedBy);
    }

    // A damaged identity file never costs the machine its identity: the last good copy comes back;
    // without one the flash decides the model, and the flash keeps its model and serial number.
    void damagedIdentityKeepsTheMachine_data()
    {
        QTest::addColumn<bool>("lastGoodCopy");
        QTest::addColumn<Calls>("settingsCalls");
        row("last good copy", true, Calls());
        row("factory copy: the flash decides", false, Calls { { "-a", "-c" } });
    }

    void damagedIdentityKeepsTheMachine()
    {
        QFETCH(bool, lastGoodCopy);
        const QString darvo = "Corvane Darvo";
        QVERIFY(editJson(conf, [&](QVariantMap& content) {
            content.insert("Model", darvo);
            content.insert("Serial No", "40001");
        }));
        QVERIFY(setFlashField("Model", darvo) && setFlashField("Serial", "40001"));
        QVERIFY(!lastGoodCopy || QFile::copy(m_root->file(conf), m_root->file(conf + ".good")));
        QVERIFY(m_root->writeFile(conf, "{ \"Model\": \"Corv"));
        const SimCalls calls(m_root->path());
        calls.clear();

        Machine machine;

        QTEST(calls.of("embosser-settings.sh"), "settingsCalls");
        QCOMPARE(machine.embosserConf->getModel(master), darvo);
        QCOMPARE(machine.embosserConf->getSerialNo(master), QString("40001"));
        const QList<QByteArray> flash = m_root->readFile(flashFile).split('\n');
        QVERIFY(flash.contains("Model=Corvane Darvo") && flash.contains("Serial=40001"));
        QCOMPARE(m_root->readFile(conf + ".damaged"), QByteArray("{ \"Model\": \"Corv"));
    }

    // With no usable definitions the model is unknown: nothing is reset, flashed or rebooted, and
    // the start goes on.
    void unusableDefinitionsResetNothing()
    {
        QVERIFY(m_root->writeFile(definitions, "{}"));
        QVERIFY(m_root->writeFile("/usr/share/configuration-manager/backup/propertyList.json", "[]"));
        const SimCalls calls(m_root->path());
        calls.clear();
        LogCapture log;

        Machine machine;

        QVERIFY(calls.of("embosser-settings.sh").isEmpty() && calls.of("embosser-factory.sh").isEmpty());
        QVERIFY(log.contains("Property::load CRITICAL: Restore failed!"));
        QVERIFY(log.contains("the settings and the flash memory stay as they are"));
        QCOMPARE(machine.embosserConf->getModel(master), QString());
    }

    void announcesSerialNumber_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<bool>("defined");
        QTest::addColumn<QString>("logged");
        row("in memory", false, false, true, "");
        row("saved", true, false, true, "");
        row("saving fails", true, true, true, "writing property Serial No to file failed!");
        row("no such parameter", true, false, false, "parameter Serial No  not found!");
    }

    void announcesSerialNumber()
    {
        QFETCH(bool, save);
        QFETCH(bool, writeFails);
        QFETCH(bool, defined);
        QFETCH(QString, logged);
        QVERIFY(defined
            || m_root->writeFile(
                definitions, m_root->readFile(definitions).replace("\"Serial No\"", "\"Serial Number\"")));
        Machine machine;
        machine.file.failing = writeFails;
        QSignalSpy notifications(machine.embosserConf, &EmbosserConf::notification);
        LogCapture log;

        machine.embosserConf->setSerialNo("31007", master, save);

        // Announced also when the write failed, but never when there is nothing to set.
        QCOMPARE(notifications.count(), defined ? 1 : 0);
        if (defined) {
            const QVariantMap expected { { ls::notificationIdKey, ls::ConfigManagerNotifId::EmbosserConfChange },
                { ls::actionIdKey, ls::EmbosserConfActionId::SetSerialNo },
                { ls::senderIdKey, ls::ServiceId::ConfigManager }, { "Serial No", "31007" } };
            QCOMPARE(notifications.first().first().toMap(), expected);
            QCOMPARE(machine.embosserConf->embosserInfoCmd().value("Serial No").toString(), QString("31007"));
            QCOMPARE(readJson(conf).value("Serial No").toString(), QString(save && !writeFails ? "31007" : "30158"));
        }
        QCOMPARE(machine.file.keys.size(), save && defined ? 1 : 0);
        QVERIFY2(logged.isEmpty() || log.contains(logged), qPrintable(log.messages().join('\n')));
    }

    void writesArchitectureFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file and no folder
        QTest::addColumn<QString>("flash"); // null: no flash value
        QTest::addColumn<QVariantMap>("written");
        const QString key = "Architecture for print processor";
        row("no file: the default", QByteArray(), QString(), QVariantMap { { key, "cortex-m4" } });
        row("empty file: the flash value", QByteArray("{}"), "cortex-m7", QVariantMap { { key, "cortex-m7" } });
        row("the flash value wins", QByteArray("{\"Architecture for print processor\": \"cortex-a5\"}"), "cortex-m7",
            QVariantMap { { key, "cortex-m7" } });
        // A file with keys of its own keeps them: it is not rewritten for the one key it lacks.
        row("other keys stay", QByteArray("{\"Slave revision\": 3}"), QString(),
            QVariantMap { { "Slave revision", 3 } });
    }

    void writesArchitectureFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, flash);
        const QString arch = "/var/lib/slave/arch";
        QDir(m_root->file("/var/lib/slave")).removeRecursively();
        QVERIFY(file.isNull() || m_root->writeFile(arch, file));
        QVERIFY(setFlashField("ArchForSlave", flash));

        Machine machine;

        QTEST(readJson(arch), "written");
    }

    void readsFirmwareDateAndSlaveConf()
    {
        const QString file = "/var/lib/update-manager/last-update";
        // The date of the stamp on the first line, whatever the machine's time zone.
        QVERIFY(m_root->writeFile(file, "Wed, 31 Dec 2025 23:30:00 -0500\nbuild 77\n"));
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, "2025-12-31" } }));
        QVERIFY(m_root->writeFile(file, "yesterday\n"));
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, QString() } }));
        QVERIFY(QFile::remove(m_root->file(file)));
        QCOMPARE(Firmware().get(), QVariantMap());

        QVERIFY(m_root->writeFile("/etc/slave.conf", "SLAVE_DEV=\"/dev/tty\\ S1\"\nSLAVE_ID_DEFAULT=4\n"));
        ls::PFile reader;
        const SlaveConf slave(reader);
        QCOMPARE(slave.getSlaveDev(), QString("/dev/tty S1"));
        QCOMPARE(slave.getSlaveID(), 4);
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoIdentity)
#include "tst_systeminfo_identity.moc"
