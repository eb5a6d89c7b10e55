// The machine's identity: the model's reconciliation with the flash memory, the serial number
// notification, the architecture file, the firmware date and the print processor link settings.
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

#include <memory>

namespace {
const QString master = masterCollectionKey;
const QString conf = QStringLiteral("/var/lib/embosser/embosserConf");
const QString arch = QStringLiteral("/var/lib/slave/arch");
const QString definitions = QStringLiteral("/usr/share/configuration-manager/propertyList.json");
} // namespace

class TestSystemInfoIdentity : public MachineTest {
    Q_OBJECT

private slots:
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

        QVERIFY(m_files->editJson(conf, [&](QVariantMap& content) {
            content.insert(QStringLiteral("Model"), fileModel);
            content.insert(QStringLiteral("Tested By"), QStringLiteral("QA-99"));
        }));
        QVERIFY(m_files->setFlashField(QStringLiteral("Model"), flashModel));
        const SimCalls calls(m_root->path());
        calls.clear();

        Machine machine;

        QCOMPARE(calls.of(QStringLiteral("embosser-settings.sh")), settingsCalls);
        QCOMPARE(calls.of(QStringLiteral("embosser-factory.sh")), factoryCalls);
        QCOMPARE(machine.embosserConf->getModel(master), model);
        QVERIFY(m_root->readFile(MachineFiles::flashFile).split('\n').contains("Model=" + model.toUtf8()));
        // A settings reset replaces the identity with the factory's, in the file and in memory alike.
        const QString testedBy = settingsCalls.isEmpty() ? QStringLiteral("QA-99") : QStringLiteral("QA-07");
        QCOMPARE(m_files->readJson(conf).value(QStringLiteral("Tested By")).toString(), testedBy);
        QCOMPARE(machine.embosserConf->embosserInfoCmd().value(QStringLiteral("Tested By")).toString(), testedBy);
    }

    // A damaged identity file never costs the machine its identity: the last good copy comes back;
    // without one the flash decides the model, and the flash keeps its model and serial number.
    void damagedIdentityKeepsTheMachine_data()
    {
        QTest::addColumn<bool>("lastGoodCopy");
        QTest::addColumn<QList<QStringList>>("settingsCalls");
        QTest::newRow("last good copy") << true << QList<QStringList>();
        QTest::newRow("factory copy: the flash decides") << false << QList<QStringList> { { "-a", "-c" } };
    }

    void damagedIdentityKeepsTheMachine()
    {
        QFETCH(bool, lastGoodCopy);
        QFETCH(QList<QStringList>, settingsCalls);
        const QString darvo = QStringLiteral("Corvane Darvo");
        QVERIFY(m_files->editJson(conf, [&](QVariantMap& content) {
            content.insert(QStringLiteral("Model"), darvo);
            content.insert(QStringLiteral("Serial No"), QStringLiteral("40001"));
        }));
        QVERIFY(m_files->setFlashField(QStringLiteral("Model"), darvo));
        QVERIFY(m_files->setFlashField(QStringLiteral("Serial"), QStringLiteral("40001")));
        if (lastGoodCopy) {
            QVERIFY(QFile::copy(m_files->path(conf), m_files->path(conf + QStringLiteral(".good"))));
        }
        QVERIFY(m_root->writeFile(conf, "{ \"Model\": \"Corv"));
        const SimCalls calls(m_root->path());
        calls.clear();

        Machine machine;

        QCOMPARE(calls.of(QStringLiteral("embosser-settings.sh")), settingsCalls);
        QCOMPARE(machine.embosserConf->getModel(master), darvo);
        QCOMPARE(machine.embosserConf->getSerialNo(master), QStringLiteral("40001"));
        const QList<QByteArray> flash = m_root->readFile(MachineFiles::flashFile).split('\n');
        QVERIFY(flash.contains("Model=Corvane Darvo"));
        QVERIFY(flash.contains("Serial=40001"));
        QCOMPARE(m_root->readFile(conf + QStringLiteral(".damaged")), QByteArray("{ \"Model\": \"Corv"));
    }

    // With no usable definitions the model is unknown: nothing is reset, flashed or rebooted, and
    // the start goes on.
    void unusableDefinitionsResetNothing()
    {
        const QString backup = QStringLiteral("/usr/share/configuration-manager/backup/propertyList.json");
        QVERIFY(m_root->writeFile(definitions, "{}"));
        QVERIFY(m_root->writeFile(backup, "[]"));
        const SimCalls calls(m_root->path());
        calls.clear();
        LogCapture log;

        Machine machine;

        QVERIFY(calls.of(QStringLiteral("embosser-settings.sh")).isEmpty());
        QVERIFY(calls.of(QStringLiteral("embosser-factory.sh")).isEmpty());
        QVERIFY(log.contains(QStringLiteral("Property::load CRITICAL: Restore failed!")));
        QVERIFY(log.contains(QStringLiteral("the settings and the flash memory stay as they are")));
        QCOMPARE(machine.embosserConf->getModel(master), QString());
        QVERIFY(m_root->restoreShipped(backup));
    }

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
            QVERIFY(m_root->writeFile(
                definitions, m_root->readFile(definitions).replace("\"Serial No\"", "\"Serial Number\"")));
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
            QCOMPARE(m_files->readJson(conf).value(QStringLiteral("Serial No")).toString(), stored);
        }
        QCOMPARE(machine.file.keys.size(), save && defined ? 1 : 0);
        QVERIFY2(logged.isEmpty() || log.contains(logged), qPrintable(log.messages().join(QLatin1Char('\n'))));
    }

    void writesArchitectureFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file and no folder
        QTest::addColumn<QString>("flash"); // null: no flash value
        QTest::addColumn<QVariantMap>("written");

        const QString key = QStringLiteral("Architecture for print processor");
        QTest::newRow("no file: the default") << QByteArray() << QString() << QVariantMap { { key, "cortex-m4" } };
        QTest::newRow("empty file: the flash value")
            << QByteArray("{}") << "cortex-m7" << QVariantMap { { key, "cortex-m7" } };
        QTest::newRow("the flash value wins") << QByteArray("{\"Architecture for print processor\": \"cortex-a5\"}")
                                              << "cortex-m7" << QVariantMap { { key, "cortex-m7" } };
        // A file with keys of its own keeps them: it is not rewritten for the one key it lacks.
        QTest::newRow("other keys stay") << QByteArray("{\"Slave revision\": 3}") << QString()
                                         << QVariantMap { { "Slave revision", 3 } };
    }

    void writesArchitectureFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, flash);
        QFETCH(QVariantMap, written);
        QDir(m_files->path(QStringLiteral("/var/lib/slave"))).removeRecursively();
        if (!file.isNull()) {
            QVERIFY(m_root->writeFile(arch, file));
        }
        QVERIFY(m_files->setFlashField(QStringLiteral("ArchForSlave"), flash));

        Machine machine;

        QCOMPARE(m_files->readJson(arch), written);
    }

    void readsFirmwareDate()
    {
        const QString file = QStringLiteral("/var/lib/update-manager/last-update");
        // The date of the stamp on the first line, whatever the machine's time zone.
        QVERIFY(m_root->writeFile(file, "Wed, 31 Dec 2025 23:30:00 -0500\nbuild 77\n"));
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, QStringLiteral("2025-12-31") } }));
        QVERIFY(m_root->writeFile(file, "yesterday\n"));
        QCOMPARE(Firmware().get(), (QVariantMap { { ls::firmwareKey, QString() } }));
        QVERIFY(QFile::remove(m_files->path(file)));
        QCOMPARE(Firmware().get(), QVariantMap());
        QVERIFY(m_root->restoreShipped(file));
    }

    void readsSlaveConf()
    {
        QVERIFY(
            m_root->writeFile(QStringLiteral("/etc/slave.conf"), "SLAVE_DEV=\"/dev/tty\\ S1\"\nSLAVE_ID_DEFAULT=4\n"));
        ls::PFile reader;
        const SlaveConf slave(reader);

        QCOMPARE(slave.getSlaveDev(), QStringLiteral("/dev/tty S1"));
        QCOMPARE(slave.getSlaveID(), 4);
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoIdentity)
#include "tst_systeminfo_identity.moc"
