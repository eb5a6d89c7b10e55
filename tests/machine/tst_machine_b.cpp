// Machine settings, part B, on the shipped data: the embosser head's key checks, hammer batches
// and deltas, the machine parameters, the page counters of each model family, speech limits.
// Hammer batch files shipped: Corvane Zentra 1800, 2150, 2600, 3400; Corvane Alvero-D V5 1750,
// 2300, 3100; the model-independent directory 9000, 9400, 10000 (searched in text order).
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/DoubleValueParamId.h"
#include "ls/EmbosserheadActionId.h"
#include "ls/IntValueDeltaParamId.h"
#include "ls/IntValueParamId.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "ls/ServiceId.h"
#include "property/Property.h"
#include "property/manager/CatalogAccessor.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/HammerDelta.h"
#include "systeminfo/PageCounter.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/Speech.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
CM_LOGGING_CATEGORY(lcMachineTest, "EmbosserConf")

const QString embosserheadFile = QStringLiteral("/var/lib/embosser/embosserhead");
const QString hammerDeltaFile = QStringLiteral("/var/lib/embosser/hammerDelta");
const QString parametersFile = QStringLiteral("/var/lib/embosser/parameters");
const QString countersFile = QStringLiteral("/var/lib/embosser/counters");
const QString eepromFile = QStringLiteral("/var/lib/sim/eeprom");
const QString zentraBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Zentra/hammer_batch");
const QString commonBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Braille_Embosser/hammer_batch");
const QString testModelDir = QStringLiteral("/usr/share/embosser/settings/Corvane_Test_Model");

const QString zentra = QStringLiteral("Corvane Zentra");
const QString plistoPlus = QStringLiteral("Corvane Plisto+");
const QString& master = masterCollectionKey;
const QString job = QStringLiteral("job");
const int sentinel = 7;

const char* const adaptorCaller = "int ConfigurationManagerAdaptor::getIntValue(const QString&, const QString&)";
} // namespace

class TestMachineB : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;
    QByteArray m_shippedFlash;
    std::unique_ptr<Property> m_property;
    std::unique_ptr<CatalogsManager> m_catalogs;
    std::unique_ptr<DefaultParameters> m_defaults;
    std::unique_ptr<CatalogAccessor> m_embosserConf;

    // The service's start-up order up to the topic classes: definitions, collections, defaults,
    // then the embosser configuration whose model the head's batch directory depends on.
    void start(const QString& model = QString())
    {
        m_embosserConf.reset();
        m_defaults.reset();
        m_catalogs.reset();
        m_property = std::make_unique<Property>(m_file, m_file);
        m_catalogs = std::make_unique<CatalogsManager>(*m_property);
        m_defaults = std::make_unique<DefaultParameters>(m_file, m_file, *m_catalogs);
        m_embosserConf = std::make_unique<CatalogAccessor>(QStringLiteral("embosserConf"),
            m_root->file(QStringLiteral("/var/lib/embosser/embosserConf")), m_file, m_file, *m_catalogs,
            lcMachineTest());
        m_embosserConf->load(Q_FUNC_INFO);
        if (!model.isEmpty()) {
            QVERIFY(m_embosserConf->setValue(QStringLiteral("Model"), model, master, false, Q_FUNC_INFO));
        }
    }

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap map;
        m_file.readToMap(m_root->file(machinePath), map);
        return map;
    }

    // Changes some values of a settings file, keeping the others.
    void patchJson(const QString& machinePath, const QVariantMap& changes) const
    {
        QVariantMap map = readJson(machinePath);
        for (auto it = changes.constBegin(); it != changes.constEnd(); ++it) {
            map.insert(it.key(), it.value());
        }
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(machinePath), map));
    }

    void setFlash(const QString& field, const QByteArray& value) const
    {
        QList<QByteArray> lines = m_root->readFile(eepromFile).split('\n');
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                        [&](const QByteArray& line) { return line.startsWith(field.toUtf8() + '='); }),
            lines.end());
        QVERIFY(m_root->writeFile(eepromFile, field.toUtf8() + '=' + value + '\n' + lines.join('\n')));
    }

    // The 24 hammer timing keys, as a batch file holds them.
    QStringList timingKeys() const { return readJson(zentraBatches + QStringLiteral("/2150")).keys(); }

    // Every timing value of the collection: the batch file's, or the sentinel without file.
    void verifyTiming(const QString& collection, const QString& batchFile) const
    {
        const QVariantMap batch = batchFile.isEmpty() ? QVariantMap() : readJson(batchFile);
        const ParametersCatalog* catalog = m_catalogs->getCatalog(QStringLiteral("embosserhead"), collection);
        for (const QString& key : timingKeys()) {
            const int expected = batchFile.isEmpty() ? sentinel : batch.value(key).toInt();
            QVERIFY2(catalog->parameter(key) && catalog->parameter(key)->value.toInt() == expected, qPrintable(key));
        }
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_shippedFlash = m_root->readFile(eepromFile);
    }

    void init()
    {
        for (const QString& file : { embosserheadFile, hammerDeltaFile, parametersFile, countersFile }) {
            QVERIFY(m_root->restoreShipped(file));
        }
        QVERIFY(m_root->writeFile(eepromFile, m_shippedFlash));
        SimCalls(m_root->path()).clear();
    }

    void cleanup()
    {
        QFile::remove(m_root->file(commonBatches + QStringLiteral("/9500")));
        QFile::remove(m_root->file(zentraBatches + QStringLiteral("/README")));
        QDir(m_root->file(testModelDir)).removeRecursively();
    }

    // ---- Embosser head, hammer deltas and batches -----------------------------------------------

    // Each method takes the keys of its own family only, in their exact case. The by-key D-Bus
    // methods check the key before the catalog is asked and answer the adaptor's error values:
    // -1 for a head value, 0 for a delta, false for the setters.
    void keysAreCheckedAgainstTheirFamily()
    {
        start();
        Embosserhead head(m_file, m_file, *m_catalogs);
        HammerDelta deltas(m_file, m_file, *m_catalogs);
        m_catalogs->addCatalogsCollection(job);
        LogCapture log;
        QVERIFY(!head.setIntValue(ls::DoubleValueParamId::PHStepdist, 1, master, true));
        QVERIFY(!head.setIntValue(QStringLiteral("volt paper feed"), 30, master, true));
        QCOMPARE(log.count(QStringLiteral("Embosserhead::setIntValue ERROR: Invalid int value parameter key!")), 2);
        QVERIFY(!head.setDoubleValue(ls::IntValueParamId::OddLowPulseTime, 0.75, master, true));
        QVERIFY(
            log.contains(QStringLiteral("Embosserhead::setDoubleValue ERROR: Invalid double value parameter key!")));
        QVERIFY(!deltas.setIntDeltaValue(ls::IntValueParamId::HammerBatch, 1, master, true));
        QVERIFY(log.contains(
            QStringLiteral("HammerDelta::setIntDeltaValue ERROR: Invalid int value delta parameter key!")));
        QCOMPARE(head.getIntValueChecked(ls::DoubleValueParamId::PHStepdist, job, adaptorCaller), -1);
        QVERIFY(log.contains(QStringLiteral(
            "ConfigurationManagerAdaptor::getIntValue ERROR: Invalid int value parameter key! PH Step dist job")));
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueParamId::HammerBatch, job, adaptorCaller), 0);
        QVERIFY(!head.setIntValueChecked(QStringLiteral("Hammer 1 delta"), 5, job, true, adaptorCaller));
        QVERIFY(!deltas.setIntDeltaValueChecked(ls::IntValueParamId::AlignLow, 5, job, true, adaptorCaller));
        QCOMPARE(log.count(QStringLiteral("getIntValue ERROR: Invalid int value parameter key!")), 4);
        // Listed keys go through; the by-key ones to the collection named only.
        QVERIFY(head.setIntValue(ls::IntValueParamId::VoltPaperFeed, 30, master, true));
        QVERIFY(head.setDoubleValue(ls::DoubleValueParamId::DistanceFromWall_2, 0.75, master, true));
        QVERIFY(deltas.setIntDeltaValue(ls::IntValueDeltaParamId::Hammer8Delta, -40, master, true));
        QCOMPARE(readJson(hammerDeltaFile).value(ls::IntValueDeltaParamId::Hammer8Delta).toInt(), -40);
        QVERIFY(head.setIntValueChecked(ls::IntValueParamId::AlignLow, -12, job, false, adaptorCaller));
        QCOMPARE(head.getIntValueChecked(ls::IntValueParamId::AlignLow, job, adaptorCaller), -12);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::AlignLow, master), 14);
        QVERIFY(deltas.setIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, 25, job, false, adaptorCaller));
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, job, adaptorCaller), 25);
        QCOMPARE(deltas.getIntDeltaValue(ls::IntValueDeltaParamId::Hammer3Delta, master), -10);
    }

    // The family has no draft-speed alignment key, so the draft-speed member of the D-Bus
    // interface is bound to the high-speed key: both read and write one stored value.
    void draftSpeedAlignmentSharesTheHighSpeedKey()
    {
        QFile table(TestRoot::sourceDir() + QStringLiteral("/src/ConfigurationManagerAdaptor.table"));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString content = QString::fromUtf8(table.readAll());
        const QRegularExpression bound(QStringLiteral("^catalogSave\\s*\\|\\s*AlignAdjustment(Draft|High)Speed\\s*\\|.*"
                                                      "@IntValue\\(ls::IntValueParamId::AlignAdjustmentHighSpeed\\)$"),
            QRegularExpression::MultilineOption);
        QCOMPARE(content.count(bound), 2);
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
        QTest::newRow("own file") << zentra << 2600 << 2600 << "2600" << QString();
        QTest::newRow("2500: between neighbours, the lower") << zentra << 2500 << 2150 << "2500 [2150]" << QString();
        QTest::newRow("3500: above the last file, the last") << zentra << 3500 << 3400 << "3500 [3400]" << QString();
        QTest::newRow("1500: below the first file, itself") << zentra << 1500 << 1500 << "1500" << QString();
        QTest::newRow("model name blanks") << "Corvane Alvero-D V5" << 2000 << 1750 << "2000 [1750]" << QString();
        // Text order 10000, 9000, 9400: the pair (10000, 9000) encloses 9700.
        QTest::newRow("text order") << "Corvane Braille Embosser" << 9700 << 9000 << "9700 [9000]" << QString();
        QTest::newRow("9500: model without batches") << plistoPlus << 9500 << 9500 << "9500"
                                                     << "No hammer batches available for current model!";
        QTest::newRow("README not reached") << "README" << 2500 << 2150 << "2500 [2150]" << QString();
        QTest::newRow("README reached") << "README" << 3500 << 3500 << "3500"
                                        << "Hammer batch conversion to int failed!";
    }

    void matchHammerBatch()
    {
        QFETCH(QString, model);
        QFETCH(int, batch);
        QFETCH(int, matched);
        QFETCH(QString, display);
        QFETCH(QString, error);
        if (model == QLatin1String("README")) {
            QVERIFY(m_root->writeFile(zentraBatches + QStringLiteral("/README"), "batch files\n"));
            model = zentra;
        }
        start(model);
        Embosserhead head(m_file, m_file, *m_catalogs);
        LogCapture log;
        QCOMPARE(head.matchHammerBatch(batch), matched);
        QCOMPARE(log.count(QStringLiteral("Embosserhead::matchHammerBatch ERROR: ") + error), error.isEmpty() ? 0 : 1);
        QVERIFY(head.setIntValue(ls::IntValueParamId::HammerBatch, batch, master, false));
        QCOMPARE(head.buildHammerBatchString(), display);
    }

    void batchValuesAreLaidOverTheCollection_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("batchFile");
        QTest::newRow("2500") << zentra << 2500 << master << false << zentraBatches + QStringLiteral("/2150");
        QTest::newRow("3500, in a job") << zentra << 3500 << job << false << zentraBatches + QStringLiteral("/3400");
        QTest::newRow("3500, saved") << zentra << 3500 << master << true << zentraBatches + QStringLiteral("/3400");
        QTest::newRow("1500: no file below 1714") << zentra << 1500 << master << false << QString();
        QTest::newRow("9500: model-independent") << plistoPlus << 9500 << master << false << commonBatches + "/9500";
        // The directory follows the matched batch, not the asked one.
        QTest::newRow("9400 on a Zentra") << zentra << 9400 << master << false << zentraBatches + "/3400";
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
        if (batchFile.startsWith(commonBatches)) {
            QVERIFY(QFile::copy(m_root->file(zentraBatches + QStringLiteral("/2150")), m_root->file(batchFile)));
        }
        start(model);
        Embosserhead head(m_file, m_file, *m_catalogs);
        m_catalogs->addCatalogsCollection(job);
        for (const QString& key : timingKeys()) {
            QVERIFY(head.setIntValue(key, sentinel, collection, false));
        }
        QSignalSpy notifications(&head, &Embosserhead::notification);
        LogCapture log;

        head.setHammerBatchParameters(batch, collection, save);

        verifyTiming(collection, batchFile);
        QCOMPARE(
            log.contains(QStringLiteral("Corvane_Zentra/hammer_batch/non_existent_hammer_batch")), batchFile.isEmpty());
        const QVariantMap file = readJson(embosserheadFile);
        QCOMPARE(file.value(QStringLiteral("Odd low pulse time")).toInt(), 1850);
        QCOMPARE(file.value(QStringLiteral("Hammer batch")).toInt(), save ? batch : 2150);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::HammerBatch, collection), save ? batch : 2150);
        if (collection != master) {
            QCOMPARE(head.getIntValue(ls::IntValueParamId::OddLowPulseTime, master), 1850);
        }
        QCOMPARE(SimCalls(m_root->path()).of(QStringLiteral("embosser-factory.sh")),
            save ? QList<QStringList>({ { QStringLiteral("-s"), QStringLiteral("-r") } }) : QList<QStringList>());
        QCOMPARE(m_root->readFile(eepromFile).split('\n').contains("HammerBatch=3500"), save);
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
        patchJson(testModelDir + QStringLiteral("/hammer_batch/2000"),
            { { "Odd low pulse time", 999 }, { "PH Step dist", 0.9 }, { "Hammer 1 delta", 3 } });
        start(QStringLiteral("Corvane Test Model"));
        Embosserhead head(m_file, m_file, *m_catalogs);
        LogCapture log;
        head.setHammerBatchParameters(2000, master, false);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::OddLowPulseTime, master), 999);
        QCOMPARE(head.getDoubleValue(ls::DoubleValueParamId::PHStepdist, master), 0.125);
        QCOMPARE(log.count(QStringLiteral("Invalid int value parameter key!")), 2);
    }

    void storedBatchIsLaidOverAtStartUp_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("flashed");
        QTest::addColumn<QString>("batchFile");
        QTest::newRow("1600 consults no file") << 1600 << 1600 << QString();
        QTest::newRow("the flash batch wins") << 2150 << 2500 << zentraBatches + QStringLiteral("/2150");
    }

    // The batch values never reach the file; a batch taken from the flash does.
    void storedBatchIsLaidOverAtStartUp()
    {
        QFETCH(int, stored);
        QFETCH(int, flashed);
        QFETCH(QString, batchFile);
        QVariantMap changes { { QStringLiteral("Hammer batch"), stored } };
        for (const QString& key : timingKeys()) {
            changes.insert(key, sentinel);
        }
        patchJson(embosserheadFile, changes);
        setFlash(QStringLiteral("HammerBatch"), QByteArray::number(flashed));
        start();
        LogCapture log;
        Embosserhead head(m_file, m_file, *m_catalogs);

        verifyTiming(master, batchFile);
        QVERIFY(!log.contains(QStringLiteral("Unable to find hammer batch file")));
        QCOMPARE(head.getIntValue(ls::IntValueParamId::HammerBatch, master), flashed);
        const QVariantMap file = readJson(embosserheadFile);
        QCOMPARE(file.value(QStringLiteral("Hammer batch")).toInt(), flashed);
        QCOMPARE(file.value(QStringLiteral("Odd low pulse time")).toInt(), sentinel);
    }

    // ---- Machine parameters --------------------------------------------------------------------

    // The plain accessors of each value type reach their own parameter, in the file and back; a
    // value the flash mirrors is taken from the flash at start-up.
    void parameterAccessorsReachTheirOwnParameter()
    {
        patchJson(parametersFile, { { QStringLiteral("Led light"), 9 }, { QStringLiteral("PF Step dist"), 0.25 } });
        setFlash(QStringLiteral("MaxCurrentForTray"), "1800");
        start();
        Parameters parameters(m_file, m_file, *m_catalogs);
        QCOMPARE(parameters.getLedLight(master), 9);
        QCOMPARE(parameters.getPFStepDist(master), 0.25);
        QCOMPARE(parameters.getMaxCurrentForTray(master), 1800);
        parameters.setLedLight(3, master, true);
        parameters.setPFStepDist(0.75, master, true);
        const QVariantMap file = readJson(parametersFile);
        QCOMPARE(file.value(QStringLiteral("Led light")).toInt(), 3);
        QCOMPARE(file.value(QStringLiteral("PF Step dist")).toDouble(), 0.75);
        QCOMPARE(file.value(QStringLiteral("Max current for tray")).toInt(), 1800);
    }

    // Release times and sensors are reached by id; an id outside its list is refused, both ways.
    void idsAreCheckedAgainstTheirList_data()
    {
        QTest::addColumn<bool>("release");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");
        QTest::newRow("release hold") << true << QString(ls::ReleaseTimeId::Hold) << true;
        QTest::newRow("release: a timing parameter") << true << "Release open delay" << false;
        QTest::newRow("release: other case") << true << "release time open" << false;
        QTest::newRow("sensor wall") << false << QString(ls::SensorStateId::WallSensor) << true;
        QTest::newRow("sensor: a release id") << false << QString(ls::ReleaseTimeId::Open) << false;
        QTest::newRow("sensor: trailing blank") << false << "Wall sensor " << false;
    }

    void idsAreCheckedAgainstTheirList()
    {
        QFETCH(bool, release);
        QFETCH(QString, id);
        QFETCH(bool, valid);
        start();
        Parameters parameters(m_file, m_file, *m_catalogs);
        LogCapture log;
        if (release) {
            QCOMPARE(parameters.setReleaseTime(id, 345, master, true), valid);
            QCOMPARE(parameters.getReleaseTime(id, master), valid ? 345 : -1);
        } else {
            // Stored as the off text: a JSON false would read back as on.
            QCOMPARE(parameters.setSensorState(id, false, master, true), valid);
            QVERIFY(!parameters.getSensorState(id, master));
        }
        if (valid) {
            QCOMPARE(readJson(parametersFile).value(id).toString(), QLatin1String(release ? "345" : "Off"));
        } else {
            QCOMPARE(log.count(release ? "ERROR: Invalid release time id!" : "ERROR: Invalid sensor state id!"), 2);
        }
    }

    // A sensor reads off for the off text only; a switch reads no for the no text only, and
    // stores "Yes" for any non-zero value.
    void switchesReadAndStoreTheirTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("sensorOn");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Off") << "Off" << false << true;
        QTest::newRow("off") << "off" << true << true;
        QTest::newRow("No") << "No" << true << false;
        QTest::newRow("no") << "no" << true << true;
    }

    void switchesReadAndStoreTheirTexts()
    {
        QFETCH(QString, stored);
        QFETCH(bool, sensorOn);
        QFETCH(bool, yes);
        const QString wait = QStringLiteral("Wait before printing next document");
        const QString spacing = QStringLiteral("Use adjustable linespacing");
        start();
        Parameters parameters(m_file, m_file, *m_catalogs);
        for (const QString& name : { QString(ls::SensorStateId::CoverSensor), wait, spacing }) {
            QVERIFY(parameters.accessor().setValue(name, stored, master, false, Q_FUNC_INFO));
        }
        QCOMPARE(parameters.getSensorState(ls::SensorStateId::CoverSensor, master), sensorOn);
        QCOMPARE(parameters.getUseAdjustableLinespacing(master), yes);
        QCOMPARE(parameters.getWaitBeforePrinting(master), yes ? 1 : 0);

        parameters.setWaitBeforePrinting(yes ? -3 : 0, master, true);
        parameters.setUseAdjustableLinespacing(!yes, master, true);
        const QVariantMap file = readJson(parametersFile);
        QCOMPARE(file.value(wait).toString(), QLatin1String(yes ? "Yes" : "No"));
        QCOMPARE(file.value(spacing).toString(), QLatin1String(yes ? "No" : "Yes"));
    }

    // ---- Page counters and speech --------------------------------------------------------------

    void activeCountersFollowTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QVector<int>>("active");
        QTest::newRow("Alvero-D V5") << "Corvane Alvero-D V5" << QVector<int> { 1 };
        QTest::newRow("Tormel-D V5") << "Corvane Tormel-D V5" << QVector<int> { 1 };
        QTest::newRow("Varnex V5") << "Corvane Varnex V5" << QVector<int> { 1, 2, 3 };
        QTest::newRow("Plisto-D") << "Corvane Plisto-D" << QVector<int> { 1, 2, 3 };
        QTest::newRow("Plisto+") << plistoPlus << QVector<int> { 1, 2, 3, 4, 5 };
        QTest::newRow("Zentra") << zentra << QVector<int>();
        QTest::newRow("other case") << "corvane plisto+" << QVector<int>();
    }

    // Each page counts once on every active counter; the file keys are the counters' own names.
    void activeCountersFollowTheModel()
    {
        QFETCH(QString, model);
        QFETCH(QVector<int>, active);
        const QStringList names { "Page Counter", "Page Counter 2", "Page Counter 3", "Page Counter 4",
            "Page Counter 5" };
        patchJson(
            countersFile, { { names[0], 10 }, { names[1], 20 }, { names[2], 30 }, { names[3], 40 }, { names[4], 50 } });
        start();
        PageCounter counters(m_file, m_file, *m_catalogs);
        counters.setModel(model);
        counters.incrementPageCounter(master);
        counters.incrementPageCounter(master);
        // Ids outside 1 to 5 are refused.
        LogCapture log;
        QCOMPARE(counters.getCounter(6, master), -1);
        QVERIFY(!counters.setCounter(9, 0, master, true));
        QCOMPARE(log.count(QStringLiteral("Invalid page counter id!")), 2);
        const QVariantMap file = readJson(countersFile);
        for (int id = 1; id <= names.size(); ++id) {
            const int expected = id * 10 + (active.contains(id) ? 2 : 0);
            QCOMPARE(counters.getCounter(id, master), expected);
            QCOMPARE(file.value(names.at(id - 1)).toInt(), expected);
        }
    }

    // The three volumes split the fine adjustment's range without gap.
    void fineAdjustmentLimits()
    {
        start();
        Speech speech(m_file, m_file, *m_catalogs);
        const auto range = [](int min, int max) { return QVariantMap { { "min", min }, { "max", max } }; };
        QCOMPARE(speech.getVolumeFineAdjustmentLimits(),
            QVariantMap({ { QStringLiteral("low"), range(87, 92) }, { QStringLiteral("medium"), range(93, 97) },
                { QStringLiteral("high"), range(98, 102) } }));
    }
};

QTEST_GUILESS_MAIN(TestMachineB)
#include "tst_machine_b.moc"
