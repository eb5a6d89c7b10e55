// Machine settings, part B, on the shipped data: the embosser head with its hammer batches and
// deltas, the machine parameters with their keyed families, the page counters of each model
// family, the serial port and speech settings.
//
// Hammer batch cases and the rule each one exercises (Corvane Zentra ships 1800, 2150, 2600,
// 3400; Corvane Alvero-D V5 1750, 2300, 3100; the model-independent directory 9000, 9400, 10000):
//   2500 on the Zentra: strictly between the neighbours 2150 and 2600, so the lower one, 2150;
//   3500 on the Zentra: above every pair, so the smaller of the batch and the last file, 3400;
//   1500 on the Zentra: below 1714 no file is read, although the model has files;
//   9500 on a model without batch directory: the batch stays 9500 and, above 8999, is read from
//        the model-independent directory (the test adds its file 9500 there);
//   1600 stored at start-up: no batch file is consulted at all (not even the missing one).
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
#include "systeminfo/SerialCom.h"
#include "systeminfo/Speech.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace {
CM_LOGGING_CATEGORY(lcMachineTest, "EmbosserConf")

const QString embosserheadFile = QStringLiteral("/var/lib/embosser/embosserhead");
const QString hammerDeltaFile = QStringLiteral("/var/lib/embosser/hammerDelta");
const QString parametersFile = QStringLiteral("/var/lib/embosser/parameters");
const QString countersFile = QStringLiteral("/var/lib/embosser/counters");
const QString serialComFile = QStringLiteral("/var/lib/embosser/serialCom");
const QString speechFile = QStringLiteral("/var/lib/embosser/speech");
const QString embosserConfFile = QStringLiteral("/var/lib/embosser/embosserConf");
const QString eepromFile = QStringLiteral("/var/lib/sim/eeprom");
const QString settingsDir = QStringLiteral("/usr/share/embosser/settings");
const QString zentraBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Zentra/hammer_batch");
const QString commonBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Braille_Embosser/hammer_batch");
const QString testModelBatches = QStringLiteral("/usr/share/embosser/settings/Corvane_Test_Model/hammer_batch");

const QString zentra = QStringLiteral("Corvane Zentra");
const QString alvero = QStringLiteral("Corvane Alvero-D V5");
const QString plistoPlus = QStringLiteral("Corvane Plisto+");
const QString commonModel = QStringLiteral("Corvane Braille Embosser");
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

    // The start-up order: definitions, collections, defaults, then the embosser configuration
    // whose model the head's batch directory depends on.
    struct Service {
        std::unique_ptr<Property> property;
        std::unique_ptr<CatalogsManager> catalogs;
        std::unique_ptr<DefaultParameters> defaults;
        std::unique_ptr<CatalogAccessor> embosserConf;

        void setModel(const QString& model) const
        {
            QVERIFY(embosserConf->setValue(QStringLiteral("Model"), model, masterCollectionKey, false, Q_FUNC_INFO));
        }
    };

    Service build() const
    {
        Service service;
        service.property = std::make_unique<Property>(m_file, m_file);
        service.catalogs = std::make_unique<CatalogsManager>(*service.property);
        service.defaults = std::make_unique<DefaultParameters>(m_file, m_file, *service.catalogs);
        service.embosserConf = std::make_unique<CatalogAccessor>(QStringLiteral("embosserConf"),
            m_root->file(embosserConfFile), m_file, m_file, *service.catalogs, lcMachineTest());
        service.embosserConf->load(Q_FUNC_INFO);
        return service;
    }

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap map;
        m_file.readToMap(m_root->file(machinePath), map);
        return map;
    }

    void writeJson(const QString& machinePath, const QVariantMap& map) const
    {
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(machinePath), map));
    }

    // Changes some values of a settings file, keeping the others.
    void patchJson(const QString& machinePath, const QVariantMap& changes) const
    {
        QVariantMap map = readJson(machinePath);
        for (auto it = changes.constBegin(); it != changes.constEnd(); ++it) {
            map.insert(it.key(), it.value());
        }
        writeJson(machinePath, map);
    }

    QString flash(const QString& field) const
    {
        const QStringList lines = QString::fromUtf8(m_root->readFile(eepromFile)).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(field + QLatin1Char('='))) {
                return line.mid(field.size() + 1);
            }
        }
        return QString();
    }

    void setFlash(const QString& field, const QString& value) const
    {
        QStringList lines = QString::fromUtf8(m_root->readFile(eepromFile)).split(QLatin1Char('\n'));
        bool replaced = false;
        for (QString& line : lines) {
            if (line.startsWith(field + QLatin1Char('='))) {
                line = field + QLatin1Char('=') + value;
                replaced = true;
            }
        }
        if (!replaced) {
            lines.insert(0, field + QLatin1Char('=') + value);
        }
        QVERIFY(m_root->writeFile(eepromFile, lines.join(QLatin1Char('\n')).toUtf8()));
    }

    // The 24 hammer timing keys, as a batch file holds them.
    QStringList timingKeys() const { return readJson(zentraBatches + QStringLiteral("/2150")).keys(); }

    static QVariant headValue(const Service& service, const QString& key, const QString& collection)
    {
        const ParametersCatalog* catalog = service.catalogs->getCatalog(QStringLiteral("embosserhead"), collection);
        const EmbosserParameter* parameter = catalog ? catalog->parameter(key) : nullptr;
        return parameter ? parameter->value : QVariant();
    }

    // Every timing value of the collection: the batch file's, or the sentinel without file.
    void verifyTiming(const Service& service, const QString& collection, const QString& batchFile) const
    {
        const QVariantMap batch = batchFile.isEmpty() ? QVariantMap() : readJson(batchFile);
        if (!batchFile.isEmpty()) {
            QCOMPARE(batch.size(), 24);
        }
        for (const QString& key : timingKeys()) {
            const int expected = batchFile.isEmpty() ? sentinel : batch.value(key).toInt();
            QVERIFY2(headValue(service, key, collection).toInt() == expected, qPrintable(key));
        }
    }

    void setTiming(Embosserhead& head, const QString& collection, int value) const
    {
        for (const QString& key : timingKeys()) {
            QVERIFY(head.setIntValue(key, value, collection, false));
        }
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_shippedFlash = m_root->readFile(eepromFile);
        QVERIFY(!m_shippedFlash.isEmpty());
    }

    void init()
    {
        for (const QString& file : { embosserheadFile, hammerDeltaFile, parametersFile, countersFile, serialComFile,
                 speechFile, embosserConfFile }) {
            QVERIFY(m_root->restoreShipped(file));
        }
        QVERIFY(m_root->writeFile(eepromFile, m_shippedFlash));
        SimCalls(m_root->path()).clear();
    }

    void cleanup()
    {
        QFile::remove(m_root->file(commonBatches + QStringLiteral("/9500")));
        QFile::remove(m_root->file(zentraBatches + QStringLiteral("/README")));
        QDir(m_root->file(QStringLiteral("/usr/share/embosser/settings/Corvane_Test_Model"))).removeRecursively();
    }

    // ---- Embosser head and hammer deltas: keys -------------------------------------------------

    void keysAreCheckedAgainstTheirFamily_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("refusal");

        const QString intRefusal = QStringLiteral("Embosserhead::setIntValue ERROR: Invalid int value parameter key!");
        const QString doubleRefusal
            = QStringLiteral("Embosserhead::setDoubleValue ERROR: Invalid double value parameter key!");
        const QString deltaRefusal
            = QStringLiteral("HammerDelta::setIntDeltaValue ERROR: Invalid int value delta parameter key!");
        QTest::newRow("int key") << "int" << QString(ls::IntValueParamId::VoltPaperFeed) << QVariant(30) << QString();
        QTest::newRow("double key as int")
            << "int" << QString(ls::DoubleValueParamId::PHStepdist) << QVariant(1) << intRefusal;
        QTest::newRow("delta key as int")
            << "int" << QString(ls::IntValueDeltaParamId::Hammer1Delta) << QVariant(1) << intRefusal;
        QTest::newRow("int key in other case")
            << "int" << QStringLiteral("volt paper feed") << QVariant(30) << intRefusal;
        QTest::newRow("empty int key") << "int" << QString() << QVariant(1) << intRefusal;
        QTest::newRow("double key") << "double" << QString(ls::DoubleValueParamId::DistanceFromWall_2) << QVariant(0.75)
                                    << QString();
        QTest::newRow("int key as double")
            << "double" << QString(ls::IntValueParamId::OddLowPulseTime) << QVariant(0.75) << doubleRefusal;
        QTest::newRow("delta key") << "delta" << QString(ls::IntValueDeltaParamId::Hammer8Delta) << QVariant(-40)
                                   << QString();
        QTest::newRow("int key as delta")
            << "delta" << QString(ls::IntValueParamId::HammerBatch) << QVariant(1) << deltaRefusal;
        QTest::newRow("ninth hammer") << "delta" << QStringLiteral("Hammer 9 delta") << QVariant(1) << deltaRefusal;
    }

    void keysAreCheckedAgainstTheirFamily()
    {
        QFETCH(QString, method);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, refusal);

        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        HammerDelta deltas(m_file, m_file, *service.catalogs);
        const QString file = method == QLatin1String("delta") ? hammerDeltaFile : embosserheadFile;
        const QByteArray before = m_root->readFile(file);

        LogCapture log;
        bool accepted = false;
        if (method == QLatin1String("int")) {
            accepted = head.setIntValue(key, value.toInt(), masterCollectionKey, true);
        } else if (method == QLatin1String("double")) {
            accepted = head.setDoubleValue(key, value.toDouble(), masterCollectionKey, true);
        } else {
            accepted = deltas.setIntDeltaValue(key, value.toInt(), masterCollectionKey, true);
        }

        QCOMPARE(accepted, refusal.isEmpty());
        if (refusal.isEmpty()) {
            QCOMPARE(readJson(file).value(key), value);
        } else {
            QVERIFY2(log.contains(refusal), qPrintable(log.messages().join(QLatin1Char('\n'))));
            QCOMPARE(m_root->readFile(file), before);
        }
    }

    // The by-key D-Bus methods check the key before the catalog is asked, and answer the
    // adaptor's own error values: -1 for a head value, 0 for a delta, false for the setters.
    void byKeyMethodsRefuseKeysOutsideTheirFamily()
    {
        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        HammerDelta deltas(m_file, m_file, *service.catalogs);
        service.catalogs->addCatalogsCollection(job);
        const QByteArray headBefore = m_root->readFile(embosserheadFile);
        const QByteArray deltasBefore = m_root->readFile(hammerDeltaFile);
        LogCapture log;

        // A floating key would read as 0 through the unchecked getter.
        QCOMPARE(head.getIntValueChecked(ls::DoubleValueParamId::PHStepdist, job, adaptorCaller), -1);
        QVERIFY(log.contains(QStringLiteral(
            "ConfigurationManagerAdaptor::getIntValue ERROR: Invalid int value parameter key! PH Step dist job")));
        // A head key would read as -1 ("not found") through the unchecked delta getter.
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueParamId::HammerBatch, job, adaptorCaller), 0);
        QVERIFY(!head.setIntValueChecked(QStringLiteral("Hammer 1 delta"), 5, job, true, adaptorCaller));
        QVERIFY(!deltas.setIntDeltaValueChecked(ls::IntValueParamId::AlignLow, 5, job, true, adaptorCaller));
        QCOMPARE(log.count(QStringLiteral("Invalid int value parameter key!")), 4);
        QCOMPARE(m_root->readFile(embosserheadFile), headBefore);
        QCOMPARE(m_root->readFile(hammerDeltaFile), deltasBefore);

        // Listed keys go through to the collection named.
        QCOMPARE(deltas.getIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, job, adaptorCaller), -10);
        QVERIFY(head.setIntValueChecked(ls::IntValueParamId::AlignLow, -12, job, false, adaptorCaller));
        QCOMPARE(head.getIntValueChecked(ls::IntValueParamId::AlignLow, job, adaptorCaller), -12);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::AlignLow, masterCollectionKey), 14);
        QVERIFY(deltas.setIntDeltaValueChecked(ls::IntValueDeltaParamId::Hammer3Delta, 25, job, false, adaptorCaller));
        QCOMPARE(deltas.getIntDeltaValue(ls::IntValueDeltaParamId::Hammer3Delta, job), 25);
        QCOMPARE(deltas.getIntDeltaValue(ls::IntValueDeltaParamId::Hammer3Delta, masterCollectionKey), -10);
    }

    // The family has no draft-speed alignment key, so the draft-speed member of the D-Bus
    // interface is bound to the high-speed key: both read and write one stored value.
    void draftSpeedAlignmentSharesTheHighSpeedKey()
    {
        for (const QString& key : ls::IntValueParamId::meta.keys()) {
            QVERIFY2(
                !(key.contains(QLatin1String("lign")) && key.contains(QLatin1String("draft"), Qt::CaseInsensitive)),
                qPrintable(key));
        }

        QFile table(TestRoot::sourceDir() + QStringLiteral("/src/ConfigurationManagerAdaptor.table"));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        static const QRegularExpression row(QStringLiteral(
            "^catalogSave\\s*\\|\\s*(\\w+)\\s*\\|[^|]*\\|.*embosserhead\\(\\)\\s*@(\\w+)\\(([\\w:]+)\\)"));
        QHash<QString, QPair<QString, QString>> members;
        while (!table.atEnd()) {
            const auto match = row.match(QString::fromUtf8(table.readLine()).trimmed());
            if (match.hasMatch()) {
                members.insert(match.captured(1), { match.captured(2), match.captured(3) });
            }
        }
        if (!members.contains(QStringLiteral("AlignAdjustmentDraftSpeed"))) {
            QSKIP("the embosser head members are not in the adaptor table yet");
        }
        const auto draft = members.value(QStringLiteral("AlignAdjustmentDraftSpeed"));
        QCOMPARE(draft.second, QStringLiteral("ls::IntValueParamId::AlignAdjustmentHighSpeed"));
        QCOMPARE(members.value(QStringLiteral("AlignAdjustmentHighSpeed")), draft);

        // Every member uses the accessor of its key's family.
        QCOMPARE(members.size(), 55);
        int doubles = 0;
        for (auto it = members.constBegin(); it != members.constEnd(); ++it) {
            const bool isDouble = it.value().first == QLatin1String("DoubleValue");
            doubles += isDouble ? 1 : 0;
            const QString family
                = isDouble ? QStringLiteral("ls::DoubleValueParamId::") : QStringLiteral("ls::IntValueParamId::");
            QVERIFY2(it.value().second.startsWith(family), qPrintable(it.key()));
        }
        QCOMPARE(doubles, 10);
    }

    // ---- Hammer batches ----------------------------------------------------------------------

    void matchHammerBatch_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("batch");
        QTest::addColumn<int>("matched");
        QTest::addColumn<QString>("message");

        QTest::newRow("own file") << zentra << 2600 << 2600 << QString();
        QTest::newRow("between neighbours: the lower") << zentra << 2500 << 2150 << QString();
        QTest::newRow("just above a file") << zentra << 2151 << 2150 << QString();
        QTest::newRow("above the last file: the last") << zentra << 3500 << 3400 << QString();
        QTest::newRow("far above: still the model's last") << zentra << 9500 << 3400 << QString();
        QTest::newRow("below the first file: itself") << zentra << 1500 << 1500 << QString();
        QTest::newRow("blanks of the model name") << alvero << 2000 << 1750 << QString();
        // Text order: 10000, 9000, 9400. The pair (10000, 9000) encloses 9700; the last name is 9400.
        QTest::newRow("text order pairs 10000 with 9000") << commonModel << 9700 << 9000 << QString();
        QTest::newRow("text order ends with 9400") << commonModel << 12000 << 9400 << QString();
        QTest::newRow("model without batches")
            << plistoPlus << 9500 << 9500 << QStringLiteral("No hammer batches available for current model!");
    }

    void matchHammerBatch()
    {
        QFETCH(QString, model);
        QFETCH(int, batch);
        QFETCH(int, matched);
        QFETCH(QString, message);

        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        service.setModel(model);
        LogCapture log;
        QCOMPARE(head.matchHammerBatch(batch), matched);
        if (!message.isEmpty()) {
            QVERIFY(log.contains(QStringLiteral("Embosserhead::matchHammerBatch ERROR: ") + message));
        }
    }

    // Names are paired in text order, so a name that is no number stops the search only when
    // the search reaches it.
    void aNameThatIsNoBatchStopsTheSearch()
    {
        QVERIFY(m_root->writeFile(zentraBatches + QStringLiteral("/README"), "batch files\n"));
        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        LogCapture log;
        QCOMPARE(head.matchHammerBatch(2500), 2150);
        QVERIFY(!log.contains(QStringLiteral("conversion")));
        QCOMPARE(head.matchHammerBatch(3500), 3500);
        QVERIFY(log.contains(
            QStringLiteral("Embosserhead::matchHammerBatch ERROR: Hammer batch conversion to int failed!")));
    }

    void batchValuesAreLaidOverTheCollection_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<QString>("batchFile");

        QTest::newRow("2500: the lower neighbour")
            << zentra << 2500 << masterCollectionKey << zentraBatches + QStringLiteral("/2150");
        QTest::newRow("3500: the last file, in a job")
            << zentra << 3500 << job << zentraBatches + QStringLiteral("/3400");
        QTest::newRow("1500: no file below 1714") << zentra << 1500 << masterCollectionKey << QString();
        QTest::newRow("9500: the model-independent directory")
            << plistoPlus << 9500 << masterCollectionKey << commonBatches + QStringLiteral("/9500");
        QTest::newRow("9400 on a Zentra: the model's last file")
            << zentra << 9400 << masterCollectionKey << zentraBatches + QStringLiteral("/3400");
    }

    void batchValuesAreLaidOverTheCollection()
    {
        QFETCH(QString, model);
        QFETCH(int, batch);
        QFETCH(QString, collection);
        QFETCH(QString, batchFile);

        if (batchFile.startsWith(commonBatches)) {
            QVariantMap values;
            for (const QString& key : timingKeys()) {
                values.insert(key, 9500 + values.size());
            }
            writeJson(batchFile, values);
        }
        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        service.setModel(model);
        service.catalogs->addCatalogsCollection(job);
        setTiming(head, collection, sentinel);
        const QByteArray fileBefore = m_root->readFile(embosserheadFile);

        LogCapture log;
        head.setHammerBatchParameters(batch, collection, false);

        verifyTiming(service, collection, batchFile);
        QCOMPARE(log.contains(QStringLiteral("Unable to find hammer batch file")), batchFile.isEmpty());
        if (batchFile.isEmpty()) {
            QVERIFY(log.contains(QStringLiteral("Corvane_Zentra/hammer_batch/non_existent_hammer_batch")));
        }
        // In memory only: the settings file, the flash and the stored batch stay as they were.
        QCOMPARE(m_root->readFile(embosserheadFile), fileBefore);
        QVERIFY(SimCalls(m_root->path()).of(QStringLiteral("embosser-factory.sh")).isEmpty());
        QCOMPARE(head.getIntValue(ls::IntValueParamId::HammerBatch, collection), 2150);
        if (collection != masterCollectionKey) {
            QCOMPARE(head.getIntValue(ls::IntValueParamId::OddLowPulseTime, masterCollectionKey), 1850);
        }
    }

    // A batch file key that is no int key of the head is refused; the others are taken.
    void foreignKeysOfABatchFileAreRefused()
    {
        writeJson(testModelBatches + QStringLiteral("/2000"),
            { { QStringLiteral("Odd low pulse time"), 999 }, { QStringLiteral("PH Step dist"), 0.9 },
                { QStringLiteral("Hammer 1 delta"), 3 } });
        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        service.setModel(QStringLiteral("Corvane Test Model"));
        LogCapture log;
        head.setHammerBatchParameters(2000, masterCollectionKey, false);
        QCOMPARE(head.getIntValue(ls::IntValueParamId::OddLowPulseTime, masterCollectionKey), 999);
        QCOMPARE(head.getDoubleValue(ls::DoubleValueParamId::PHStepdist, masterCollectionKey), 0.125);
        QCOMPARE(log.count(QStringLiteral("Invalid int value parameter key!")), 2);
    }

    void storedBatchIsLaidOverAtStartUp_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("flashed");
        QTest::addColumn<QString>("batchFile");

        QTest::newRow("1600 consults no file") << "1600"
                                               << "1600" << QString();
        QTest::newRow("2600 is laid over the file") << "2600"
                                                    << "2600" << zentraBatches + QStringLiteral("/2600");
        QTest::newRow("the flash batch wins") << "2150"
                                              << "2500" << zentraBatches + QStringLiteral("/2150");
    }

    void storedBatchIsLaidOverAtStartUp()
    {
        QFETCH(QString, stored);
        QFETCH(QString, flashed);
        QFETCH(QString, batchFile);

        QVariantMap changes { { QStringLiteral("Hammer batch"), stored.toInt() } };
        for (const QString& key : timingKeys()) {
            changes.insert(key, sentinel);
        }
        patchJson(embosserheadFile, changes);
        setFlash(QStringLiteral("HammerBatch"), flashed);
        Service service = build();

        LogCapture log;
        Embosserhead head(m_file, m_file, *service.catalogs);

        verifyTiming(service, masterCollectionKey, batchFile);
        QVERIFY(!log.contains(QStringLiteral("Unable to find hammer batch file")));
        QCOMPARE(head.getIntValue(ls::IntValueParamId::HammerBatch, masterCollectionKey), flashed.toInt());
        // The batch values never reach the file; a batch taken from the flash does.
        const QVariantMap file = readJson(embosserheadFile);
        QCOMPARE(file.value(QStringLiteral("Hammer batch")).toInt(), flashed.toInt());
        for (const QString& key : timingKeys()) {
            QCOMPARE(file.value(key).toInt(), sentinel);
        }
    }

    void savingABatchStoresItAndUpdatesTheFlash()
    {
        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        QSignalSpy notifications(&head, &Embosserhead::notification);

        head.setHammerBatchParameters(2600, masterCollectionKey, false);
        QCOMPARE(notifications.count(), 0);
        QCOMPARE(readJson(embosserheadFile).value(QStringLiteral("Hammer batch")).toInt(), 2150);
        QVERIFY(SimCalls(m_root->path()).of(QStringLiteral("embosser-factory.sh")).isEmpty());

        head.setHammerBatchParameters(3500, masterCollectionKey, true);
        const QVariantMap file = readJson(embosserheadFile);
        QCOMPARE(file.value(QStringLiteral("Hammer batch")).toInt(), 3500);
        QCOMPARE(file.value(QStringLiteral("Odd low pulse time")).toInt(), 1850);
        verifyTiming(service, masterCollectionKey, zentraBatches + QStringLiteral("/3400"));
        QCOMPARE(SimCalls(m_root->path()).of(QStringLiteral("embosser-factory.sh")),
            QList<QStringList>({ { QStringLiteral("-s"), QStringLiteral("-r") } }));
        QCOMPARE(flash(QStringLiteral("HammerBatch")), QStringLiteral("3500"));

        QCOMPARE(notifications.count(), 1);
        const QVariantMap notification = notifications.at(0).at(0).toMap();
        QCOMPARE(notification.value(ls::notificationIdKey).toString(),
            QString(ls::ConfigManagerNotifId::EmbosserheadChange));
        QCOMPARE(notification.value(ls::actionIdKey).toString(), QString(ls::EmbosserheadActionId::SetHammerBatch));
        QCOMPARE(notification.value(ls::senderIdKey).toString(), QString(ls::ServiceId::ConfigManager));
        QCOMPARE(notification.value(ls::IntValueParamId::HammerBatch).toInt(), 3500);
    }

    void batchDisplayString_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("text");

        QTest::newRow("own file") << zentra << 2150 << "2150";
        QTest::newRow("served by a neighbour") << zentra << 2500 << "2500 [2150]";
        QTest::newRow("served by the model's first") << alvero << 1800 << "1800 [1750]";
        QTest::newRow("below every file") << zentra << 1500 << "1500";
        QTest::newRow("no batches for the model") << plistoPlus << 2500 << "2500";
    }

    void batchDisplayString()
    {
        QFETCH(QString, model);
        QFETCH(int, stored);
        QFETCH(QString, text);

        Service service = build();
        Embosserhead head(m_file, m_file, *service.catalogs);
        service.setModel(model);
        QVERIFY(head.setIntValue(ls::IntValueParamId::HammerBatch, stored, masterCollectionKey, false));
        QCOMPARE(head.buildHammerBatchString(), text);
    }

    // ---- Topic files ---------------------------------------------------------------------------

    void eachClassKeepsItsOwnSettingsFile_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("other");

        QTest::newRow("embosserhead") << "embosserhead" << embosserheadFile << "Volt paper feed" << QVariant(30)
                                      << QVariant(31);
        QTest::newRow("hammerDelta") << "hammerDelta" << hammerDeltaFile << "Hammer 5 delta" << QVariant(42)
                                     << QVariant(-42);
        QTest::newRow("counters") << "counters" << countersFile << "Page Counter 3" << QVariant(123) << QVariant(124);
        QTest::newRow("parameters") << "parameters" << parametersFile << "Led light" << QVariant(9) << QVariant(3);
        QTest::newRow("serialCom") << "serialCom" << serialComFile << "Parity" << QVariant(QStringLiteral("Even"))
                                   << QVariant(QStringLiteral("Odd"));
        QTest::newRow("speech") << "speech" << speechFile << "Speech voice" << QVariant(QStringLiteral("male"))
                                << QVariant(QStringLiteral("child"));
    }

    // Reading at construction and with load(), writing with saveToFile(), all on the topic's own
    // catalog and file.
    void eachClassKeepsItsOwnSettingsFile()
    {
        QFETCH(QString, topic);
        QFETCH(QString, file);
        QFETCH(QString, parameter);
        QFETCH(QVariant, value);
        QFETCH(QVariant, other);

        patchJson(file, { { parameter, value } });
        Service service = build();
        std::unique_ptr<QObject> owner;
        const CatalogAccessor* access = nullptr;
        std::function<bool()> save;
        std::function<void()> load;
        auto bind = [&](auto* object) {
            owner.reset(object);
            access = &object->accessor();
            save = [object] { return object->saveToFile(); };
            load = [object] { object->load(); };
        };
        if (topic == QLatin1String("embosserhead")) {
            bind(new Embosserhead(m_file, m_file, *service.catalogs));
        } else if (topic == QLatin1String("hammerDelta")) {
            bind(new HammerDelta(m_file, m_file, *service.catalogs));
        } else if (topic == QLatin1String("counters")) {
            bind(new PageCounter(m_file, m_file, *service.catalogs));
        } else if (topic == QLatin1String("parameters")) {
            bind(new Parameters(m_file, m_file, *service.catalogs));
        } else if (topic == QLatin1String("serialCom")) {
            bind(new SerialCom(m_file, m_file, *service.catalogs));
        } else {
            bind(new Speech(m_file, m_file, *service.catalogs));
        }
        QCOMPARE(access->catalogName(), topic);
        QCOMPARE(access->settingsFile(), m_root->file(file));
        QCOMPARE(access->getValue(parameter, masterCollectionKey, Q_FUNC_INFO), value);

        patchJson(file, { { parameter, other } });
        load();
        QCOMPARE(access->getValue(parameter, masterCollectionKey, Q_FUNC_INFO), other);

        QVERIFY(access->setValue(parameter, value, masterCollectionKey, false, Q_FUNC_INFO));
        QCOMPARE(readJson(file).value(parameter), other);
        QVERIFY(save());
        QCOMPARE(readJson(file).value(parameter), value);
    }

    void flashValuesWinAtStartUp_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("flashed");

        QTest::newRow("Max current for tray") << "MaxCurrentForTray"
                                              << "1800";
        QTest::newRow("Adjust Inner open position") << "AdjustInnerOpenPos"
                                                    << "-3";
    }

    void flashValuesWinAtStartUp()
    {
        QFETCH(QString, field);
        QFETCH(QString, flashed);

        setFlash(field, flashed);
        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const int value = field == QLatin1String("MaxCurrentForTray")
            ? parameters.getMaxCurrentForTray(masterCollectionKey)
            : parameters.getAdjustInnerOpenPos(masterCollectionKey);
        QCOMPARE(value, flashed.toInt());
        const QString name = field == QLatin1String("MaxCurrentForTray") ? QStringLiteral("Max current for tray")
                                                                         : QStringLiteral("Adjust Inner open position");
        QCOMPARE(readJson(parametersFile).value(name).toInt(), flashed.toInt());
    }

    // ---- Machine parameters --------------------------------------------------------------------

    // Every plain accessor reaches its own parameter: each parameter gets a value no other one
    // has, in the file (getters) and through the setters.
    void everyParameterAccessorReachesItsOwnParameter()
    {
        using Get = std::function<QVariant(const Parameters&)>;
        using Set = std::function<void(Parameters&, const QVariant&)>;
        struct Row {
            const char* name;
            char type;
            Get get;
            Set set;
        };
#define CM_ROW(Member, Name, Type, Code)                                                                               \
    Row                                                                                                                \
    {                                                                                                                  \
        Name, Code, [](const Parameters& p) { return QVariant(p.get##Member(masterCollectionKey)); },                  \
            [](Parameters& p, const QVariant& v) { p.set##Member(v.value<Type>(), masterCollectionKey, false); }       \
    }
        const QVector<Row> rows {
            CM_ROW(LayoutNr, "Layout file", int, 'i'),
            CM_ROW(PFStepDist, "PF Step dist", double, 'd'),
            CM_ROW(PFStepAdjustment, "PF Step adjustment", double, 'd'),
            CM_ROW(TopOfForm, "Top Of Form", double, 'd'),
            CM_ROW(PrintSpeed, "Print speed Text", QString, 's'),
            CM_ROW(EndOfFileDelay, "End Of file delay", int, 'i'),
            CM_ROW(EmbosserAvailable, "Embosser available", int, 'i'),
            CM_ROW(AvailableFrom, "Available from", double, 'd'),
            CM_ROW(AvailableTo, "Available to", double, 'd'),
            CM_ROW(LedLight, "Led light", int, 'i'),
            CM_ROW(ReleaseOpenDelay, "Release open delay", int, 'i'),
            CM_ROW(LetterFont, "Letter font", int, 'i'),
            CM_ROW(ReleaseLevel, "Release level", int, 'i'),
            CM_ROW(CompensateDrift, "Compensate Drift", int, 'i'),
            CM_ROW(StandbyPosition, "Standby position", int, 'i'),
            CM_ROW(AdjustStandbyPos, "Adjust standby pos", double, 'd'),
            CM_ROW(FloatingPageActive, "Floating page active", int, 'i'),
            CM_ROW(LimitCurrentDraw, "Limit current draw", int, 'i'),
            CM_ROW(SensorPaperJam, "Sensor paper jam", int, 'i'),
            CM_ROW(PaperJamDetect, "Paper jam detect", int, 'i'),
            CM_ROW(PageNumberPrefix, "Page number prefix", int, 'i'),
            CM_ROW(ProdTestPages, "Prod test pages", int, 'i'),
            CM_ROW(QuickPaperLoad, "Quick paper load", int, 'i'),
            CM_ROW(OutOfRollerDist, "Out of roller distance", double, 'd'),
            CM_ROW(LedsForSensors, "Leds for sensors", int, 'i'),
            CM_ROW(RollerStepDistance, "Roller Step distance", double, 'd'),
            CM_ROW(DesiredSlip, "Desired slip", double, 'd'),
            CM_ROW(HTTPS, "HTTPS", int, 'i'),
            CM_ROW(AdjustOuterClosedPos, "Adjust Outer closed position", int, 'i'),
            CM_ROW(AdjustInnerClosedPos, "Adjust Inner closed position", int, 'i'),
            CM_ROW(AdjustOuterOpenPos, "Adjust Outer open position", int, 'i'),
            CM_ROW(AdjustInnerOpenPos, "Adjust Inner open position", int, 'i'),
            CM_ROW(MaxCurrentForTray, "Max current for tray", int, 'i'),
            CM_ROW(PrintInOneDirection, "Print in one direction", int, 'i'),
            CM_ROW(PaperThrowOutSpeed, "Throw out speed", int, 'i'),
            CM_ROW(ErrorPopUps, "Error pop ups", QString, 's'),
            CM_ROW(SkipConfirmationPrompt, "Skip confirmation prompt", QString, 's'),
            CM_ROW(UseErrorTones, "Use error tones", int, 'i'),
            CM_ROW(AnnounceNetwork, "Announce network", int, 'i'),
            CM_ROW(AutomaticUpdateCheck, "Automatic update check", int, 'i'),
            CM_ROW(VoltageLowLimit, "Voltage low limit", int, 'i'),
            CM_ROW(VoltageHighLimit, "Voltage high limit", int, 'i'),
        };
#undef CM_ROW
        const auto distinct = [](char type, int index) {
            switch (type) {
            case 'i':
                return QVariant(100 + index);
            case 'd':
                return QVariant(100.5 + index);
            default:
                return QVariant(QStringLiteral("text %1").arg(index));
            }
        };
        // The flash mirrors four of them; keep it out of the way.
        for (const char* field : { "AdjustOuterClosedPos", "AdjustInnerClosedPos", "AdjustOuterOpenPos",
                 "AdjustInnerOpenPos", "MaxCurrentForTray" }) {
            setFlash(QString::fromLatin1(field), QString());
        }
        QVariantMap file = readJson(parametersFile);
        for (int i = 0; i < rows.size(); ++i) {
            file.insert(QString::fromLatin1(rows.at(i).name), distinct(rows.at(i).type, i));
        }
        writeJson(parametersFile, file);

        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const CatalogAccessor& access = parameters.accessor();
        for (int i = 0; i < rows.size(); ++i) {
            const Row& row = rows.at(i);
            QVERIFY2(row.get(parameters) == distinct(row.type, i), row.name);
            row.set(parameters, distinct(row.type, i + 1000));
            QVERIFY2(access.getValue(QString::fromLatin1(row.name), masterCollectionKey, Q_FUNC_INFO)
                    == distinct(row.type, i + 1000),
                row.name);
        }
    }

    void releaseTimeIds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");

        QTest::newRow("open") << QString(ls::ReleaseTimeId::Open) << true;
        QTest::newRow("close") << QString(ls::ReleaseTimeId::Close) << true;
        QTest::newRow("hold") << QString(ls::ReleaseTimeId::Hold) << true;
        QTest::newRow("a timing parameter that is no id") << "Release open delay" << false;
        QTest::newRow("a sensor id") << QString(ls::SensorStateId::PaperSensor) << false;
        QTest::newRow("other case") << "release time open" << false;
        QTest::newRow("empty") << QString() << false;
    }

    void releaseTimeIds()
    {
        QFETCH(QString, id);
        QFETCH(bool, valid);

        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const QByteArray before = m_root->readFile(parametersFile);
        LogCapture log;

        QCOMPARE(parameters.setReleaseTime(id, 345, masterCollectionKey, true), valid);
        QCOMPARE(parameters.getReleaseTime(id, masterCollectionKey), valid ? 345 : -1);
        if (valid) {
            QCOMPARE(readJson(parametersFile).value(id).toInt(), 345);
        } else {
            QCOMPARE(m_root->readFile(parametersFile), before);
            QCOMPARE(log.count(QStringLiteral("ERROR: Invalid release time id!")), 2);
        }
    }

    void sensorStateIds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");

        QTest::newRow("paper") << QString(ls::SensorStateId::PaperSensor) << true;
        QTest::newRow("top of form") << QString(ls::SensorStateId::TopOfFormSensor) << true;
        QTest::newRow("paper end") << QString(ls::SensorStateId::PaperEndSensor) << true;
        QTest::newRow("cover") << QString(ls::SensorStateId::CoverSensor) << true;
        QTest::newRow("wall") << QString(ls::SensorStateId::WallSensor) << true;
        QTest::newRow("a release time id") << QString(ls::ReleaseTimeId::Open) << false;
        QTest::newRow("a switch stored as text") << "Error pop ups" << false;
        QTest::newRow("trailing blank") << "Wall sensor " << false;
    }

    void sensorStateIds()
    {
        QFETCH(QString, id);
        QFETCH(bool, valid);

        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const QByteArray before = m_root->readFile(parametersFile);
        LogCapture log;

        QCOMPARE(parameters.setSensorState(id, false, masterCollectionKey, true), valid);
        if (!valid) {
            QVERIFY(!parameters.getSensorState(id, masterCollectionKey));
            QCOMPARE(m_root->readFile(parametersFile), before);
            QCOMPARE(log.count(QStringLiteral("ERROR: Invalid sensor state id!")), 2);
            return;
        }
        QCOMPARE(readJson(parametersFile).value(id), QVariant(QStringLiteral("Off")));
        QVERIFY(!parameters.getSensorState(id, masterCollectionKey));
        QVERIFY(parameters.setSensorState(id, true, masterCollectionKey, true));
        QCOMPARE(readJson(parametersFile).value(id), QVariant(QStringLiteral("On")));
        QVERIFY(parameters.getSensorState(id, masterCollectionKey));
    }

    // A sensor reads off for the off text only; a switch reads no for the no text only.
    void switchesReadOffOnlyForTheirOffText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("sensorOn");
        QTest::addColumn<bool>("yes");

        QTest::newRow("Off") << "Off" << false << true;
        QTest::newRow("On") << "On" << true << true;
        QTest::newRow("off") << "off" << true << true;
        QTest::newRow("false") << "false" << true << true;
        QTest::newRow("No") << "No" << true << false;
        QTest::newRow("no") << "no" << true << true;
        QTest::newRow("Yes") << "Yes" << true << true;
    }

    void switchesReadOffOnlyForTheirOffText()
    {
        QFETCH(QString, stored);
        QFETCH(bool, sensorOn);
        QFETCH(bool, yes);

        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const CatalogAccessor& access = parameters.accessor();
        const QString& m = masterCollectionKey;
        QVERIFY(access.setValue(ls::SensorStateId::CoverSensor, stored, m, false, Q_FUNC_INFO));
        QVERIFY(access.setValue(QStringLiteral("Use adjustable linespacing"), stored, m, false, Q_FUNC_INFO));
        QVERIFY(access.setValue(QStringLiteral("Wait before printing next document"), stored, m, false, Q_FUNC_INFO));
        QCOMPARE(parameters.getSensorState(ls::SensorStateId::CoverSensor, m), sensorOn);
        QCOMPARE(parameters.getUseAdjustableLinespacing(m), yes);
        QCOMPARE(parameters.getWaitBeforePrinting(m), yes ? 1 : 0);
    }

    void switchesStoreTheirYesNoText_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");

        const QString wait = QStringLiteral("Wait before printing next document");
        const QString spacing = QStringLiteral("Use adjustable linespacing");
        QTest::newRow("wait 5") << wait << 5 << "Yes";
        QTest::newRow("wait 1") << wait << 1 << "Yes";
        QTest::newRow("wait -3") << wait << -3 << "Yes";
        QTest::newRow("wait 0") << wait << 0 << "No";
        QTest::newRow("spacing true") << spacing << 1 << "Yes";
        QTest::newRow("spacing false") << spacing << 0 << "No";
    }

    void switchesStoreTheirYesNoText()
    {
        QFETCH(QString, parameter);
        QFETCH(int, value);
        QFETCH(QString, text);

        Service service = build();
        Parameters parameters(m_file, m_file, *service.catalogs);
        const bool wait = parameter.startsWith(QLatin1String("Wait"));
        // Start from the opposite text, so that the write is seen.
        const QString opposite = text == QLatin1String("Yes") ? QStringLiteral("No") : QStringLiteral("Yes");
        patchJson(parametersFile, { { parameter, opposite } });
        if (wait) {
            parameters.setWaitBeforePrinting(value, masterCollectionKey, true);
            QCOMPARE(parameters.getWaitBeforePrinting(masterCollectionKey), value != 0 ? 1 : 0);
        } else {
            parameters.setUseAdjustableLinespacing(value != 0, masterCollectionKey, true);
            QCOMPARE(parameters.getUseAdjustableLinespacing(masterCollectionKey), value != 0);
        }
        QCOMPARE(readJson(parametersFile).value(parameter), QVariant(text));
    }

    // ---- Page counters -------------------------------------------------------------------------

    void activeCountersFollowTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QVector<int>>("active");

        QTest::newRow("Alvero-D V5") << alvero << QVector<int> { 1 };
        QTest::newRow("Tormel-D V5") << "Corvane Tormel-D V5" << QVector<int> { 1 };
        QTest::newRow("Varnex V5") << "Corvane Varnex V5" << QVector<int> { 1, 2, 3 };
        QTest::newRow("Plisto-D") << "Corvane Plisto-D" << QVector<int> { 1, 2, 3 };
        QTest::newRow("Plisto+") << plistoPlus << QVector<int> { 1, 2, 3, 4, 5 };
        QTest::newRow("Zentra") << zentra << QVector<int>();
        QTest::newRow("other case") << "corvane plisto+" << QVector<int>();
        QTest::newRow("no model") << QString() << QVector<int>();
    }

    void activeCountersFollowTheModel()
    {
        QFETCH(QString, model);
        QFETCH(QVector<int>, active);

        writeJson(countersFile,
            { { QStringLiteral("Page Counter"), 10 }, { QStringLiteral("Page Counter 2"), 20 },
                { QStringLiteral("Page Counter 3"), 30 }, { QStringLiteral("Page Counter 4"), 40 },
                { QStringLiteral("Page Counter 5"), 50 } });
        const QByteArray before = m_root->readFile(countersFile);
        Service service = build();
        PageCounter counters(m_file, m_file, *service.catalogs);
        counters.setModel(model);
        QCOMPARE(counters.activeCounters(), active);

        counters.incrementPageCounter(masterCollectionKey);
        counters.incrementPageCounter(masterCollectionKey);

        const QVariantMap file = readJson(countersFile);
        for (int id = 1; id <= PageCounter::counterCount; ++id) {
            const int expected = id * 10 + (active.contains(id) ? 2 : 0);
            QCOMPARE(counters.getCounter(id, masterCollectionKey), expected);
            QCOMPARE(file.value(PageCounter::counterName(id)).toInt(), expected);
        }
        if (active.isEmpty()) {
            QCOMPARE(m_root->readFile(countersFile), before);
        }
    }

    void countersById()
    {
        Service service = build();
        PageCounter counters(m_file, m_file, *service.catalogs);
        for (int id = 1; id <= PageCounter::counterCount; ++id) {
            QVERIFY(counters.setCounter(100 + id, id, masterCollectionKey, true));
        }
        const QVariantMap file = readJson(countersFile);
        QCOMPARE(file.value(QStringLiteral("Page Counter")).toInt(), 101);
        for (int id = 2; id <= PageCounter::counterCount; ++id) {
            QCOMPARE(file.value(QStringLiteral("Page Counter %1").arg(id)).toInt(), 100 + id);
        }

        const QByteArray before = m_root->readFile(countersFile);
        LogCapture log;
        for (const int id : { 0, 6, -1 }) {
            QCOMPARE(counters.getCounter(id, masterCollectionKey), -1);
            QVERIFY(!counters.setCounter(9, id, masterCollectionKey, true));
        }
        QCOMPARE(m_root->readFile(countersFile), before);
        QCOMPARE(log.count(QStringLiteral("Invalid page counter id!")), 6);
    }

    // ---- Speech --------------------------------------------------------------------------------

    // The three ranges follow each other without gap and span the fine adjustment's own range.
    void fineAdjustmentLimitsSpanTheParameterRange()
    {
        Service service = build();
        Speech speech(m_file, m_file, *service.catalogs);
        const QVariantMap limits = speech.getVolumeFineAdjustmentLimits();
        QCOMPARE(limits.keys(), QStringList({ "high", "low", "medium" }));
        QVERIFY(limits.contains(speech.getVolume(masterCollectionKey)));

        const auto range = [&limits](const char* volume) {
            const QVariantMap entry = limits.value(QLatin1String(volume)).toMap();
            return qMakePair(entry.value(QStringLiteral("min")).toInt(), entry.value(QStringLiteral("max")).toInt());
        };
        const QString fine = QStringLiteral("Volume fine adjustment");
        QCOMPARE(range("low").first, service.property->getMinValue(fine));
        QCOMPARE(range("low").second + 1, range("medium").first);
        QCOMPARE(range("medium").second + 1, range("high").first);
        QCOMPARE(range("high").second, service.property->getMaxValue(fine));
        QCOMPARE(range("low"), qMakePair(87, 92));
        QCOMPARE(range("medium"), qMakePair(93, 97));
        QCOMPARE(range("high"), qMakePair(98, 102));
    }
};

QTEST_GUILESS_MAIN(TestMachineB)
#include "tst_machine_b.moc"
