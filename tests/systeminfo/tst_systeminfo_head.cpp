// The embosser head on the shipped data: the key checks of its families, hammer batches and deltas.
// Hammer batch files shipped: Corvane Zentra 1800, 2150, 2600, 3400; Corvane Alvero-D V5 1750,
// 2300, 3100; the model-independent directory 9000, 9400, 10000 (searched in text order).
#include "DataRow.h"
#include "LogCapture.h"
#include "MachineTest.h"
#include "SimCalls.h"

#include "ls/ConfigManagerNotifId.h"
#include "ls/DoubleValueParamId.h"
#include "ls/EmbosserheadActionId.h"
#include "ls/IntValueDeltaParamId.h"
#include "ls/IntValueParamId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/HammerDelta.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString headFile = QStringLiteral("/var/lib/embosser/embosserhead");
const QString zentraBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Zentra/hammer_batch");
const QString commonBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Braille_Embosser/hammer_batch");
const QString testModelDir = QStringLiteral("/usr/share/embosser/settings/Corvane_Test_Model");
const QString zentra = QStringLiteral("Corvane Zentra");
const QString plistoPlus = QStringLiteral("Corvane Plisto+");
const QString& master = masterCollectionKey;
const QString job = QStringLiteral("job");
const int sentinel = 7; // below every range: no setter takes it
const char* const adaptorCaller = "int ConfigurationManagerAdaptor::getIntValue(const QString&, const QString&)";
} // namespace

class TestSystemInfoHead : public MachineTest {
    Q_OBJECT

    // The 24 hammer timing keys, as a batch file holds them.
    QStringList timingKeys() const { return readJson(zentraBatches + "/2150").keys(); }

    // Every timing value of the collection: the batch file's, or the sentinel without file.
    void verifyTiming(CatalogsManager& catalogs, const QString& collection, const QString& batchFile) const
    {
        const QVariantMap batch = batchFile.isEmpty() ? QVariantMap() : readJson(batchFile);
        const ParametersCatalog* catalog = catalogs.getCatalog("embosserhead", collection);
        for (const QString& key : timingKeys()) {
            const int expected = batchFile.isEmpty() ? sentinel : batch.value(key).toInt();
            QVERIFY2(catalog->parameter(key) && catalog->parameter(key)->value.toInt() == expected, qPrintable(key));
        }
    }

private slots:
    // The files a test adds beside the shipped ones; the base class puts the machine back.
    void init()
    {
        QFile::remove(m_root->file(commonBatches + "/9500"));
        QFile::remove(m_root->file(zentraBatches + "/README"));
        QDir(m_root->file(testModelDir)).removeRecursively();
    }

    // Each method takes the keys of its own family only, in their exact case. The by-key D-Bus
    // methods check the key before the catalog is asked and answer the adaptor's error values:
    // -1 for a head value, 0 for a delta, false for the setters.
    void keysAreCheckedAgainstTheirFamily()
    {
        Machine machine;
        Embosserhead& head = *machine.embosserhead;
        HammerDelta& deltas = *machine.hammerDelta;
        machine.catalogs.addCatalogsCollection(job);
        LogCapture log;
        QVERIFY(!head.setIntValue(ls::DoubleValueParamId::PHStepdist, 1, master, true));
        QVERIFY(!head.setIntValue("volt paper feed", 30, master, true));
        QVERIFY(!head.setDoubleValue(ls::IntValueParamId::OddLowPulseTime, 0.75, master, true));
        QVERIFY(!deltas.setIntDeltaValue(ls::IntValueParamId::HammerBatch, 1, master, true));
        QCOMPARE(head.getIntValueChecked(ls::DoubleValueParamId::PHStepdist, job, adaptorCaller), -1);
        QVERIFY(log.contains(
            "ConfigurationManagerAdaptor::getIntValue ERROR: Invalid int value parameter key! PH Step dist job"));
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueParamId::HammerBatch, job, adaptorCaller), 0);
        QVERIFY(!head.setIntValueChecked("Hammer 1 delta", 5, job, true, adaptorCaller));
        QVERIFY(!deltas.setIntDeltaValueChecked(ls::IntValueParamId::AlignLow, 5, job, true, adaptorCaller));
        QCOMPARE(log.count("getIntValue ERROR: Invalid int value parameter key!"), 4);
        // Listed keys go through; the by-key ones to the collection named only.
        QVERIFY(head.setIntValue(ls::IntValueParamId::VoltPaperFeed, 30, master, true));
        QVERIFY(head.setDoubleValue(ls::DoubleValueParamId::DistanceFromWall_2, 0.75, master, true));
        QVERIFY(deltas.setIntDeltaValue(ls::IntValueDeltaParamId::Hammer8Delta, -40, master, true));
        QCOMPARE(readJson("/var/lib/embosser/hammerDelta").value(ls::IntValueDeltaParamId::Hammer8Delta).toInt(), -40);
        QVERIFY(head.setIntValueChecked(ls::IntValueParamId::AlignLow, -12, job, false, adaptorCaller));
        QCOMPARE(head.getIntValueChecked(ls::IntValueParamId::AlignLow, job, adaptorCaller), -12);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::AlignLow, master), 14);
        QVERIFY(deltas.setIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, 25, job, false, adaptorCaller));
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, job, adaptorCaller), 25);
        QCOMPARE(deltas.getIntDeltaValue(ls::IntValueDeltaParamId::Hammer3Delta, master), -10);
    }

    // The display string shows the matched batch beside the stored one when they differ. Names
    // are paired in text order, so a name that is no number stops the search when reached.
    void matchHammerBatch_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("batch");
        QTest::addColumn<int>("matched");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("error");
        row("own file", zentra, 2600, 2600, "2600", "");
        row("2500: between neighbours, the lower", zentra, 2500, 2150, "2500 [2150]", "");
        row("3500: above the last file, the last", zentra, 3500, 3400, "3500 [3400]", "");
        row("1500: below the first file, itself", zentra, 1500, 1500, "1500", "");
        row("model name blanks", "Corvane Alvero-D V5", 2000, 1750, "2000 [1750]", "");
        // Text order 10000, 9000, 9400: the pair (10000, 9000) encloses 9700.
        row("text order", "Corvane Braille Embosser", 9700, 9000, "9700 [9000]", "");
        row("9500: model without batches", plistoPlus, 9500, 9500, "9500",
            "No hammer batches available for current model!");
        row("README not reached", "README", 2500, 2150, "2500 [2150]", "");
        row("README reached", "README", 3500, 3500, "3500", "Hammer batch conversion to int failed!");
    }

    void matchHammerBatch()
    {
        QFETCH(QString, model);
        QFETCH(int, batch);
        QFETCH(QString, error);
        if (model == "README") {
            QVERIFY(m_root->writeFile(zentraBatches + "/README", "batch files\n"));
            model = zentra;
        }
        Machine machine;
        machine.useModel(model);
        Embosserhead& head = *machine.embosserhead;
        LogCapture log;
        QTEST(head.matchHammerBatch(batch), "matched");
        QCOMPARE(log.count("Embosserhead::matchHammerBatch ERROR: " + error), error.isEmpty() ? 0 : 1);
        QVERIFY(head.setIntValue(ls::IntValueParamId::HammerBatch, batch, master, false));
        QTEST(head.buildHammerBatchString(), "display");
    }

    void batchValuesAreLaidOverTheCollection_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("batchFile");
        row("2500", zentra, 2500, master, false, zentraBatches + "/2150");
        row("3500, in a job", zentra, 3500, job, false, zentraBatches + "/3400");
        row("3500, saved", zentra, 3500, master, true, zentraBatches + "/3400");
        row("1500: no file below 1714", zentra, 1500, master, false, QString());
        row("9500: model-independent", plistoPlus, 9500, master, false, commonBatches + "/9500");
        // The directory follows the matched batch, not the asked one.
        row("9400 on a Zentra", zentra, 9400, master, false, zentraBatches + "/3400");
    }

    // The batch values are laid over in memory only. Saving stores the batch number, updates the
    // flash and notifies; without saving nothing but the memory changes.
    void batchValuesAreLaidOverTheCollection()
    {
        QFETCH(QString, model);
        QFETCH(int, batch);
        QFETCH(QString, collection);
        QFETCH(bool, save);
        QFETCH(QString, batchFile);
        QVERIFY(!batchFile.startsWith(commonBatches)
            || QFile::copy(m_root->file(zentraBatches + "/2150"), m_root->file(batchFile)));
        Machine machine;
        machine.useModel(model);
        Embosserhead& head = *machine.embosserhead;
        machine.catalogs.addCatalogsCollection(job);
        ParametersCatalog* timing = machine.catalogs.getCatalog("embosserhead", collection);
        for (const QString& key : timingKeys()) {
            timing->getParameter(key, false)->value = sentinel;
        }
        const SimCalls calls(m_root->path());
        calls.clear();
        QSignalSpy notifications(&head, &Embosserhead::notification);
        LogCapture log;

        head.setHammerBatchParameters(batch, collection, save);

        verifyTiming(machine.catalogs, collection, batchFile);
        QCOMPARE(log.contains("Corvane_Zentra/hammer_batch/non_existent_hammer_batch"), batchFile.isEmpty());
        const QVariantMap file = readJson(headFile);
        QCOMPARE(file.value("Odd low pulse time").toInt(), 1850);
        QCOMPARE(file.value("Hammer batch").toInt(), save ? batch : 2150);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::HammerBatch, collection), save ? batch : 2150);
        QVERIFY(collection == master || head.getIntValue(ls::IntValueParamId::OddLowPulseTime, master) == 1850);
        QCOMPARE(calls.of("embosser-factory.sh"), save ? QList<QStringList>({ { "-s", "-r" } }) : QList<QStringList>());
        QCOMPARE(m_root->readFile(flashFile).split('\n').contains("HammerBatch=3500"), save);
        QCOMPARE(notifications.count(), save ? 1 : 0);
        if (save) {
            QCOMPARE(notifications.at(0).at(0).toMap(),
                QVariantMap({ { ls::notificationIdKey, QString(ls::ConfigManagerNotifId::EmbosserheadChange) },
                    { ls::actionIdKey, QString(ls::EmbosserheadActionId::SetHammerBatch) },
                    { ls::senderIdKey, QString(ls::ServiceId::ConfigManager) },
                    { ls::IntValueParamId::HammerBatch, 3500 } }));
        }
    }

    // A batch file key that is no int key of the head is refused; the others are taken.
    void foreignKeysOfABatchFileAreRefused()
    {
        QVERIFY(editJson(testModelDir + "/hammer_batch/2000", [](QVariantMap& batch) {
            batch = { { "Odd low pulse time", 999 }, { "PH Step dist", 0.9 }, { "Hammer 1 delta", 3 } };
        }));
        Machine machine;
        machine.useModel("Corvane Test Model");
        Embosserhead& head = *machine.embosserhead;
        LogCapture log;
        head.setHammerBatchParameters(2000, master, false);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::OddLowPulseTime, master), 999);
        QCOMPARE(head.getDoubleValue(ls::DoubleValueParamId::PHStepdist, master), 0.125);
        QCOMPARE(log.count("Invalid int value parameter key!"), 2);
    }

    void storedBatchIsLaidOverAtStartUp_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("flashed");
        QTest::addColumn<QString>("batchFile");
        row("1600 consults no file", 1600, 1600, QString());
        row("the flash batch wins", 2150, 2500, zentraBatches + "/2150");
    }

    // The batch values never reach the file; a batch taken from the flash does.
    void storedBatchIsLaidOverAtStartUp()
    {
        QFETCH(int, stored);
        QFETCH(int, flashed);
        QFETCH(QString, batchFile);
        const QStringList keys = timingKeys();
        QVERIFY(editJson(headFile, [&](QVariantMap& head) {
            head.insert("Hammer batch", stored);
            for (const QString& key : keys) {
                head.insert(key, sentinel);
            }
        }));
        QVERIFY(setFlashField("HammerBatch", QString::number(flashed)));
        LogCapture log;
        Machine machine;

        verifyTiming(machine.catalogs, master, batchFile);
        QVERIFY(!log.contains("Unable to find hammer batch file"));
        QCOMPARE(machine.embosserhead->getIntValue(ls::IntValueParamId::HammerBatch, master), flashed);
        const QVariantMap file = readJson(headFile);
        QCOMPARE(file.value("Hammer batch").toInt(), flashed);
        QCOMPARE(file.value("Odd low pulse time").toInt(), sentinel);
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoHead)
#include "tst_systeminfo_head.moc"
