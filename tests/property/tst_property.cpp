// Parameter catalogs on the shipped data: collections as independent values, the accessor
// pattern of the settings classes (collection name, save flag, settings file), the defaults,
// the flash merge, and the load-and-restore rule of the data files.
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "libcorvane/LogPrefix.h"
#include "ls/JFile.h"
#include "property/PropValueList.h"
#include "property/Property.h"
#include "property/manager/CatalogAccessor.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "property/manager/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
CM_LOGGING_CATEGORY(lcSpeechTest, "Speech")

const QString speechFile = QStringLiteral("/var/lib/embosser/speech");
const QString embosserConfFile = QStringLiteral("/var/lib/embosser/embosserConf");
const QString propertyListFile = QStringLiteral("/usr/share/configuration-manager/propertyList.json");
const QString volume = QStringLiteral("Volume");
const QString model = QStringLiteral("Model");
} // namespace

class TestProperty : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;

    // The start-up order of the master collection: definitions, defaults, then a topic's file.
    struct Service {
        std::unique_ptr<Property> property;
        std::unique_ptr<CatalogsManager> catalogs;
        std::unique_ptr<DefaultParameters> defaults;
        std::unique_ptr<PropValueList> valueLists;
    };

    Service build()
    {
        Service service;
        service.property = std::make_unique<Property>(m_file, m_file);
        service.catalogs = std::make_unique<CatalogsManager>(*service.property);
        service.defaults = std::make_unique<DefaultParameters>(m_file, m_file, *service.catalogs);
        service.valueLists = std::make_unique<PropValueList>(m_file);
        service.catalogs->checker().setValueLists(service.valueLists.get());
        return service;
    }

    CatalogAccessor speech(CatalogsManager& catalogs) const
    {
        CatalogAccessor accessor(
            QStringLiteral("speech"), m_root->file(speechFile), m_file, m_file, catalogs, lcSpeechTest());
        accessor.load(Q_FUNC_INFO);
        return accessor;
    }

    CatalogAccessor embosserConf(CatalogsManager& catalogs) const
    {
        CatalogAccessor accessor(
            QStringLiteral("embosserConf"), m_root->file(embosserConfFile), m_file, m_file, catalogs, lcSpeechTest());
        accessor.load(Q_FUNC_INFO);
        return accessor;
    }

    // Programs one field of the simulated flash memory.
    void setFlash(const QString& field, const QString& value) const
    {
        QStringList lines
            = QString::fromUtf8(m_root->readFile(QStringLiteral("/var/lib/sim/eeprom"))).split(QLatin1Char('\n'));
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
        QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/sim/eeprom"), lines.join(QLatin1Char('\n')).toUtf8()));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // The restore's success is logged at info level, below the categories' threshold.
        QLoggingCategory::setFilterRules(QStringLiteral("Property.info=true"));
    }

    void init()
    {
        for (const QString& file : { speechFile, embosserConfFile, propertyListFile }) {
            QVERIFY(m_root->restoreShipped(file));
        }
    }

    void theMasterCollectionHoldsFileValuesOverDefaults()
    {
        Service service = build();
        QVERIFY(service.catalogs->getCatalogNames(masterCollectionKey).contains(QStringLiteral("speech")));
        CatalogAccessor accessor = speech(*service.catalogs);
        QVariantMap stored;
        QVERIFY(m_file.readToMap(m_root->file(speechFile), stored));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), stored.value(volume).toString());
        QCOMPARE(accessor.getInt(QStringLiteral("Speech speed"), masterCollectionKey, Q_FUNC_INFO),
            stored.value(QStringLiteral("Speech speed")).toInt());
    }

    void collectionsAreIndependentValues()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        const QString shipped = accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO);

        QVERIFY(service.catalogs->duplicateCatalog(masterCollectionKey, QStringLiteral("job")));
        QVERIFY(accessor.setValue(volume, QStringLiteral("high"), QStringLiteral("job"), false, Q_FUNC_INFO));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), shipped);

        QVERIFY(accessor.setValue(volume, QStringLiteral("low"), masterCollectionKey, false, Q_FUNC_INFO));
        QCOMPARE(accessor.getString(volume, QStringLiteral("job"), Q_FUNC_INFO), QStringLiteral("high"));

        // The master catalog the accessor uses survives removal and duplication of others.
        QVERIFY(service.catalogs->removeCatalogsCollection(QStringLiteral("job")));
        QVERIFY(service.catalogs->duplicateCatalog(masterCollectionKey, QStringLiteral("other")));
        QVERIFY(accessor.setValue(volume, QStringLiteral("medium"), masterCollectionKey, false, Q_FUNC_INFO));
        QCOMPARE(accessor.getString(volume, QStringLiteral("other"), Q_FUNC_INFO), QStringLiteral("low"));
        QCOMPARE(service.catalogs->getCatalog(QStringLiteral("speech"), masterCollectionKey)
                     ->parameter(volume)
                     ->value.toString(),
            QStringLiteral("medium"));

        // A job collection copied with addCatalogsCollection is independent too.
        service.catalogs->addCatalogsCollection(QStringLiteral("print"));
        QVERIFY(accessor.setValue(volume, QStringLiteral("high"), QStringLiteral("print"), false, Q_FUNC_INFO));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("medium"));
    }

    void collectionNamesThatDoNotExistMeanTheMaster()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        LogCapture log;
        QVERIFY(accessor.setValue(volume, QStringLiteral("high"), QStringLiteral("no such job"), false, Q_FUNC_INFO));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("high"));
        QCOMPARE(accessor.getString(volume, QStringLiteral("another"), Q_FUNC_INFO), QStringLiteral("high"));
        QVERIFY(log.messages().isEmpty());
    }

    void duplicationAndRemovalRules()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        LogCapture log;

        QVERIFY(!service.catalogs->duplicateCatalog(QStringLiteral("missing"), QStringLiteral("x")));
        QVERIFY(log.contains(QStringLiteral("ERROR: Catalogs collection does not contain catalogs for missing")));
        QVERIFY(!service.catalogs->removeCatalogsCollection(QStringLiteral("missing")));
        QVERIFY(log.contains(QStringLiteral("Could not find missing for removing from collection.")));

        // Duplicating onto the master replaces the master values.
        QVERIFY(service.catalogs->duplicateCatalog(masterCollectionKey, QStringLiteral("edit")));
        QVERIFY(accessor.setValue(volume, QStringLiteral("low"), QStringLiteral("edit"), false, Q_FUNC_INFO));
        QVERIFY(service.catalogs->duplicateCatalog(QStringLiteral("edit"), masterCollectionKey));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("low"));

        // The master collection holds the live configuration: it cannot be removed.
        QVERIFY(!service.catalogs->removeCatalogsCollection(masterCollectionKey));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("low"));

        // Collections are bounded in name length and number.
        QVERIFY(!service.catalogs->duplicateCatalog(masterCollectionKey, QString(65, QLatin1Char('j'))));
        QVERIFY(!service.catalogs->duplicateCatalog(masterCollectionKey, QString()));
        for (int i = service.catalogs->getCatalogNames(masterCollectionKey).isEmpty() ? 0 : 2;
             i < CatalogsManager::maxCollections; ++i) {
            QVERIFY(service.catalogs->duplicateCatalog(masterCollectionKey, QString::number(i)));
        }
        QVERIFY(!service.catalogs->addCatalogsCollection(QStringLiteral("one too many")));
        QVERIFY(service.catalogs->duplicateCatalog(masterCollectionKey, QStringLiteral("edit"))); // replaces
        QVERIFY(log.contains(QStringLiteral("no more than 32 collections")));

        // A catalog that is not there: every accessor reports it and answers its error value.
        CatalogAccessor missing(
            QStringLiteral("missing"), m_root->file(speechFile), m_file, m_file, *service.catalogs, lcSpeechTest());
        log.clear();
        QCOMPARE(missing.getInt(
                     QStringLiteral("Speech speed"), masterCollectionKey, "int Speech::getSpeechSpeed(const QString&)"),
            -1);
        QVERIFY(log.contains(QStringLiteral("Catalogs does not contain missing")));
        QVERIFY(log.contains(QStringLiteral("Speech::getSpeechSpeed ERROR: missing catalog does not exist.")));
        QCOMPARE(missing.getString(volume, masterCollectionKey, Q_FUNC_INFO), QString());
        QVERIFY(!missing.setValue(volume, QStringLiteral("low"), masterCollectionKey, false, Q_FUNC_INFO));
    }

    // A setter stores a value only when it fits its definition; a refused value changes nothing.
    void valuesMustFitTheirDefinition_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("int in range") << "Speech speed" << QVariant(7) << true;
        QTest::newRow("int as text") << "Speech speed" << QVariant(QStringLiteral("7")) << true;
        QTest::newRow("int above the maximum") << "Speech speed" << QVariant(1000000) << false;
        QTest::newRow("int below the minimum") << "Speech speed" << QVariant(0) << false;
        QTest::newRow("int with a fraction") << "Speech speed" << QVariant(2.5) << false;
        QTest::newRow("int from a word") << "Speech speed" << QVariant(QStringLiteral("fast")) << false;
        QTest::newRow("text in the value list") << "Volume" << QVariant(QStringLiteral("high")) << true;
        QTest::newRow("text outside the value list") << "Volume" << QVariant(QStringLiteral("loud")) << false;
        QTest::newRow("value list, other case") << "Volume" << QVariant(QStringLiteral("High")) << false;
        QTest::newRow("nested value") << "Volume" << QVariant(QVariantMap { { "a", 1 } }) << false;
        QTest::newRow("text of bounded length")
            << "Current speech" << QVariant(QString(1024, QLatin1Char('e'))) << true;
        QTest::newRow("text too long") << "Current speech" << QVariant(QString(1025, QLatin1Char('e'))) << false;
    }

    void valuesMustFitTheirDefinition()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        const QVariant before = accessor.getValue(name, masterCollectionKey, Q_FUNC_INFO);
        const QByteArray file = m_root->readFile(speechFile);
        LogCapture log;

        QCOMPARE(accessor.setValue(name, value, masterCollectionKey, true, Q_FUNC_INFO), accepted);

        QCOMPARE(accessor.getValue(name, masterCollectionKey, Q_FUNC_INFO), accepted ? value : before);
        QCOMPARE(m_root->readFile(speechFile) == file, !accepted);
        QCOMPARE(log.contains(QStringLiteral("refused value for ") + name), !accepted);
    }

    // Numbers that are not finite never reach a file (JSON has no NaN: it would be written as null).
    void numbersMustBeFinite()
    {
        Service service = build();
        CatalogAccessor head(QStringLiteral("parameters"), m_root->file(QStringLiteral("/var/lib/embosser/parameters")),
            m_file, m_file, *service.catalogs, lcSpeechTest());
        for (const double number : { qQNaN(), qInf(), -qInf() }) {
            QVERIFY(!head.setValue(QStringLiteral("PF Step dist"), number, masterCollectionKey, false, Q_FUNC_INFO));
        }
        QVERIFY(head.setValue(QStringLiteral("PF Step dist"), 0.25, masterCollectionKey, false, Q_FUNC_INFO));
    }

    void saveFalseStaysInMemorySaveTrueWritesOneKey()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        const QByteArray before = m_root->readFile(speechFile);

        QVERIFY(accessor.setValue(volume, QStringLiteral("high"), masterCollectionKey, false, Q_FUNC_INFO));
        QCOMPARE(m_root->readFile(speechFile), before);

        // The save flag writes into the topic's file whatever collection was addressed.
        service.catalogs->addCatalogsCollection(QStringLiteral("job"));
        QVERIFY(accessor.setValue(QStringLiteral("Speech speed"), 9, QStringLiteral("job"), true, Q_FUNC_INFO));
        QVariantMap stored;
        QVariantMap original;
        QVERIFY(m_file.readToMap(m_root->file(speechFile), stored));
        QVERIFY(ls::JFile().readToMap(TestRoot::sourceDir() + QStringLiteral("/data") + speechFile, original));
        QCOMPARE(stored.value(QStringLiteral("Speech speed")).toInt(), 9);
        original.insert(QStringLiteral("Speech speed"), stored.value(QStringLiteral("Speech speed")));
        QCOMPARE(stored, original); // the in-memory change of Volume is not written along
        // No temporary file is left beside the settings file; its last good copy is.
        QCOMPARE(QDir(QFileInfo(m_root->file(speechFile)).absolutePath())
                     .entryList({ QStringLiteral("speech*") }, QDir::Files),
            (QStringList { QStringLiteral("speech"), QStringLiteral("speech.good") }));
    }

    void saveToFileWritesOnlyStoredValues()
    {
        // A speech file without "Volume": the default stays in memory, out of the file.
        QVariantMap shipped;
        QVERIFY(m_file.readToMap(m_root->file(speechFile), shipped));
        shipped.remove(volume);
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(speechFile), shipped));

        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        QVERIFY(!accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO).isEmpty());
        // A value that is in the file but null is not written either.
        EmbosserParameter* speed = service.catalogs->getCatalog(QStringLiteral("speech"), masterCollectionKey)
                                       ->getParameter(QStringLiteral("Speech speed"), false);
        speed->value = QVariant();
        QVERIFY(speed->inFile);

        QVERIFY(accessor.saveToFile(Q_FUNC_INFO));
        QVariantMap saved;
        QVERIFY(m_file.readToMap(m_root->file(speechFile), saved));
        shipped.remove(QStringLiteral("Speech speed"));
        QCOMPARE(saved, shipped);
    }

    void flashValuesAreMergedOnce_data()
    {
        QTest::addColumn<QString>("flashModel");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("differs only in case: nothing changes") << "corvane ZENTRA" << false;
        QTest::newRow("differs: taken over and the file rewritten") << "Corvane Varnex V5" << true;
        QTest::newRow("empty flash entry: skipped") << "" << false;
    }

    void flashValuesAreMergedOnce()
    {
        QFETCH(QString, flashModel);
        QFETCH(bool, rewritten);
        Service service = build();
        CatalogAccessor accessor = embosserConf(*service.catalogs);
        const QString shippedModel = accessor.getString(model, masterCollectionKey, Q_FUNC_INFO);
        QCOMPARE(shippedModel, QStringLiteral("Corvane Zentra"));
        setFlash(QStringLiteral("Model"), flashModel);
        const QByteArray before = m_root->readFile(embosserConfFile);
        const QDateTime modified = QFileInfo(m_root->file(embosserConfFile)).lastModified();
        SimCalls calls(m_root->path());
        calls.clear();

        accessor.syncFlashParameters(Q_FUNC_INFO);

        QVERIFY(calls.of(QStringLiteral("eeprom-handler")).contains({ QStringLiteral("-g"), QStringLiteral("Model") }));
        QCOMPARE(accessor.getString(model, masterCollectionKey, Q_FUNC_INFO), rewritten ? flashModel : shippedModel);
        if (rewritten) {
            QVariantMap saved;
            QVERIFY(m_file.readToMap(m_root->file(embosserConfFile), saved));
            QCOMPARE(saved.value(model).toString(), flashModel);
        } else {
            QCOMPARE(m_root->readFile(embosserConfFile), before);
            QCOMPARE(QFileInfo(m_root->file(embosserConfFile)).lastModified(), modified);
        }
        setFlash(QStringLiteral("Model"), shippedModel);
    }

    void aNullFlashKeyInCapitalsIsNeverSynchronised()
    {
        QVariantMap definitions;
        QVERIFY(m_file.readToMap(m_root->file(propertyListFile), definitions));
        QVariantMap conf = definitions.value(QStringLiteral("embosserConf")).toMap();
        QVariantMap modelDefinition = conf.value(model).toMap();
        modelDefinition.insert(QStringLiteral("systemInfoParam"), QStringLiteral("NULL"));
        conf.insert(model, modelDefinition);
        definitions.insert(QStringLiteral("embosserConf"), conf);
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(propertyListFile), definitions));
        setFlash(QStringLiteral("Model"), QStringLiteral("Corvane Varnex V5"));
        SimCalls calls(m_root->path());
        calls.clear();

        Service service = build();
        CatalogAccessor accessor = embosserConf(*service.catalogs);
        accessor.syncFlashParameters(Q_FUNC_INFO);

        QCOMPARE(accessor.getString(model, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("Corvane Zentra"));
        QVERIFY(
            !calls.of(QStringLiteral("eeprom-handler")).contains({ QStringLiteral("-g"), QStringLiteral("Model") }));
        setFlash(QStringLiteral("Model"), QStringLiteral("Corvane Zentra"));
    }

    // A data file of the wrong shape (nothing its readers can use) is restored like an unreadable one.
    void dataFilesAreRestoredFromTheirBackup_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("{ not json");
        QTest::newRow("no members") << QByteArray("{}");
        QTest::newRow("no catalog of definitions") << QByteArray("{\"speech\": 3, \"arch\": [1]}");
        QTest::newRow("definitions without a type") << QByteArray("{\"speech\": {\"Volume\": {\"minValue\": 1}}}");
    }

    void dataFilesAreRestoredFromTheirBackup()
    {
        QFETCH(QByteArray, content);
        QVERIFY(m_root->writeFile(propertyListFile, content));
        LogCapture log;
        Property restored(m_file, m_file);
        QVERIFY(log.contains(QStringLiteral("Property::load ERROR: reading ") + m_root->file(propertyListFile)
            + QStringLiteral(" failed => try restore.")));
        QVERIFY(log.contains(QStringLiteral("Property::load INFO: Restore succeded!")));
        QVERIFY(restored.catalogs().contains(QStringLiteral("speech")));
        QCOMPARE(m_root->readFile(propertyListFile),
            m_root->readFile(QStringLiteral("/usr/share/configuration-manager/backup/propertyList.json")));

        // Both copies unreadable: the catalogs stay empty and every getter fails softly.
        const QString backup = QStringLiteral("/usr/share/configuration-manager/backup/propertyList.json");
        QVERIFY(m_root->writeFile(propertyListFile, "[]"));
        QVERIFY(m_root->writeFile(backup, ""));
        log.clear();
        Property lost(m_file, m_file);
        QVERIFY(log.contains(QStringLiteral("Property::load CRITICAL: Restore failed!")));
        QVERIFY(lost.catalogs().isEmpty());
        CatalogsManager empty(lost);
        QVERIFY(empty.getCatalogNames(masterCollectionKey).isEmpty());
        QVERIFY(m_root->restoreShipped(backup));
    }

    // A settings file that is missing or damaged is replaced by its last good copy, else by its
    // factory copy; a damaged one is kept aside. A previous firmware's key=value file is left to
    // the conversion.
    void settingsFilesAreRepaired_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QByteArray>("good"); // null: no last good copy
        QTest::addColumn<QByteArray>("factory"); // null: no factory copy
        QTest::addColumn<int>("origin");
        QTest::addColumn<QString>("volume");

        using Origin = SettingsFile::Origin;
        const QByteArray good("{\"Volume\": \"high\"}");
        const QByteArray factory("{\"Volume\": \"low\"}");
        QTest::newRow("intact") << QByteArray("{\"Volume\": \"medium\"}") << good << factory << int(Origin::File)
                                << "medium";
        QTest::newRow("truncated: the last good copy")
            << QByteArray("{\"Volume\": \"med") << good << factory << int(Origin::LastGood) << "high";
        QTest::newRow("garbage, no good copy: the factory copy")
            << QByteArray("\x01\x02garbage") << QByteArray() << factory << int(Origin::Factory) << "low";
        QTest::newRow("not flat: the last good copy")
            << QByteArray("{\"Volume\": {\"level\": 2}}") << good << factory << int(Origin::LastGood) << "high";
        QTest::newRow("missing: the last good copy")
            << QByteArray() << good << factory << int(Origin::LastGood) << "high";
        QTest::newRow("damaged, no copies")
            << QByteArray("[]") << QByteArray() << QByteArray() << int(Origin::Nothing) << "";
    }

    void settingsFilesAreRepaired()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, good);
        QFETCH(QByteArray, factory);
        QFETCH(int, origin);
        QFETCH(QString, volume);
        QTemporaryDir folder(m_root->file(QStringLiteral("/var/lib/embosser/repair.XXXXXX")));
        const QString path = folder.filePath(QStringLiteral("speech"));
        const SettingsFile settings(path, m_file, m_file, lcSpeechTest());
        const auto put = [](const QString& name, const QByteArray& content) {
            QFile out(name);
            return content.isNull() || (out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        };
        QVERIFY(put(path, file) && put(settings.lastGoodPath(), good));
        const QString factoryCopy = settings.factoryPath();
        const QByteArray shippedFactory = m_root->readFile(QStringLiteral("/backup/embosser/factory/speech"));
        QVERIFY(factory.isNull() ? QFile::remove(factoryCopy) : put(factoryCopy, factory));
        LogCapture log;

        QVariantMap values;
        QCOMPARE(int(settings.read(values, Q_FUNC_INFO)), origin);

        QCOMPARE(values.value(volume.isEmpty() ? QString() : QStringLiteral("Volume")).toString(), volume);
        const bool damaged = !file.isNull() && origin != int(SettingsFile::Origin::File);
        QCOMPARE(QFileInfo::exists(settings.damagedPath()), damaged);
        if (damaged) {
            QCOMPARE(m_root->readFile(settings.damagedPath().mid(m_root->path().size())), file);
        }
        if (origin != int(SettingsFile::Origin::File)) {
            QVERIFY(log.contains(origin == int(SettingsFile::Origin::Nothing) ? "no usable copy of" : "Restored"));
        }
        // A save replaces whatever is there and becomes the last good copy.
        QVERIFY(settings.writeKey(QStringLiteral("Speech speed"), 4, Q_FUNC_INFO));
        QVariantMap saved;
        QVERIFY(m_file.readToMap(settings.lastGoodPath(), saved));
        QCOMPARE(saved.value(QStringLiteral("Speech speed")).toInt(), 4);
        QVERIFY(m_root->writeFile(QStringLiteral("/backup/embosser/factory/speech"), shippedFactory));
    }

    void definitionAccessors()
    {
        Service service = build();
        const Property& property = *service.property;
        QCOMPARE(property.getMinValue(QStringLiteral("Speech speed")), 1);
        QCOMPARE(property.getMaxValue(QStringLiteral("Speech speed")), 10);
        QCOMPARE(property.getProposition(volume), QStringLiteral("PropVolume"));
        QCOMPARE(property.getValueSentence(volume), QStringLiteral("ValueVolume"));
        QCOMPARE(property.getMinValue(volume), 0); // no "minValue"
        QCOMPARE(property.getPrecision(QStringLiteral("No such parameter")), 0);
    }

    void valueLists()
    {
        PropValueList lists(m_file);
        const int volumeList = static_cast<int>(lcm::RowValueList::SpeechVolume);
        const lcm::PropList records = lists.getValueList(volumeList);
        QVERIFY(!records.isEmpty());
        QCOMPARE(records, [&] {
            lcm::PropList expected;
            for (const QVariant& entry : lists.getValues(lcm::RowValueList::SpeechVolume)) {
                expected.append(entry.toMap());
            }
            return expected;
        }());
        LogCapture log;
        QVERIFY(lists.getValueList(100000).isEmpty());
        QVERIFY(log.contains(QStringLiteral("not found!.")));
    }

    void aValueListThatIsNotAnArrayIsEmpty()
    {
        const QString valueListFile = QStringLiteral("/usr/share/configuration-manager/valueList.json");
        QVariantMap content;
        QVERIFY(m_file.readToMap(m_root->file(valueListFile), content));
        const QString name = PropValueList::listName(static_cast<int>(lcm::RowValueList::SpeechVolume));
        QVERIFY(content.contains(name));
        content.insert(name, QStringLiteral("low, medium, high"));
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(valueListFile), content));

        PropValueList lists(m_file);
        LogCapture log;
        const QVariantList values = lists.getValues(lcm::RowValueList::SpeechVolume);
        QVERIFY(m_root->restoreShipped(valueListFile));
        QVERIFY(values.isEmpty());
        QVERIFY(log.contains(QStringLiteral("PropValueList::getValues ERROR: value list ") + name
            + QStringLiteral(" conversion to list failed!")));
    }

    void foldingTestIsCaseSensitive_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("folding");
        QTest::newRow("booklet") << "A4 booklet" << true;
        QTest::newRow("z-folding inside a longer text") << "Tractor z-folding 11 inch" << true;
        QTest::newRow("capital Z") << "Z-folding" << false;
        QTest::newRow("capital B") << "Booklet" << false;
        QTest::newRow("plain paper") << "A4" << false;
    }

    void foldingTestIsCaseSensitive()
    {
        QFETCH(QString, text);
        QFETCH(bool, folding);
        QCOMPARE(PropValueList::isFolding(text), folding);
    }
};

QTEST_GUILESS_MAIN(TestProperty)
#include "tst_property.moc"
