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

#include <QDir>
#include <QFileInfo>
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
    };

    Service build()
    {
        Service service;
        service.property = std::make_unique<Property>(m_file, m_file);
        service.catalogs = std::make_unique<CatalogsManager>(*service.property);
        service.defaults = std::make_unique<DefaultParameters>(m_file, m_file, *service.catalogs);
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
        QVERIFY(accessor.setValue(volume, QStringLiteral("off"), QStringLiteral("print"), false, Q_FUNC_INFO));
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
        accessor.setValue(volume, QStringLiteral("loud"), QStringLiteral("edit"), false, Q_FUNC_INFO);
        QVERIFY(service.catalogs->duplicateCatalog(QStringLiteral("edit"), masterCollectionKey));
        QCOMPARE(accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO), QStringLiteral("loud"));

        // Without a master collection every getter reports the missing catalog and its error value.
        QVERIFY(service.catalogs->removeCatalogsCollection(masterCollectionKey));
        log.clear();
        QCOMPARE(accessor.getInt(
                     QStringLiteral("Speech speed"), masterCollectionKey, "int Speech::getSpeechSpeed(const QString&)"),
            -1);
        QVERIFY(log.contains(QStringLiteral("Catalogs does not contain speech")));
        QVERIFY(log.contains(QStringLiteral("Speech::getSpeechSpeed ERROR: speech catalog does not exist.")));
        QVERIFY(!accessor.setValue(volume, QStringLiteral("x"), masterCollectionKey, true, Q_FUNC_INFO));
    }

    void theDumpShowsEveryParameterOfACatalog()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        const int catalogCount = service.catalogs->getCatalogNames(masterCollectionKey).size();
        QLoggingCategory::setFilterRules(QStringLiteral("Property.info=true\nCatalogsManager.debug=true"));
        LogCapture log;
        service.catalogs->printAllCatalogs(QStringLiteral("missing"));
        const QStringList missing = log.messages();
        log.clear();
        service.catalogs->printAllCatalogs(masterCollectionKey);
        QLoggingCategory::setFilterRules(QStringLiteral("Property.info=true"));

        // A collection that does not exist prints only the error.
        QCOMPARE(missing,
            QStringList {
                QStringLiteral("CatalogsManager::printAllCatalogs ERROR: Catalogs collection does not contain "
                               "catalogs for missing") });
        QCOMPARE(log.messages().size(), catalogCount);
        const QString esc = QStringLiteral("\x1b");
        const QString speechDump = esc + QStringLiteral("[38;5;15;4mspeech") + esc + QStringLiteral("[0m\n");
        QCOMPARE(log.count(speechDump), 1);
        const QString volumeDump = esc + QStringLiteral("[38;5;254m") + esc + QStringLiteral("[4GVolume") + esc
            + QStringLiteral("[0m\n") + esc + QStringLiteral("[8Gcatalog: speech\n");
        QVERIFY2(log.contains(volumeDump), qPrintable(log.messages().join(QLatin1Char('\n'))));
        QVERIFY(log.contains(QStringLiteral("[8Gvalue: QVariant(QString, \"")
            + accessor.getString(volume, masterCollectionKey, Q_FUNC_INFO) + QStringLiteral("\")\n") + esc
            + QStringLiteral("[8Gin file: true\n\n")));
    }

    void gettersReportMissingParametersAndBadConversions()
    {
        Service service = build();
        CatalogAccessor accessor = speech(*service.catalogs);
        LogCapture log;
        QCOMPARE(accessor.getDouble(QStringLiteral("Nope"), masterCollectionKey, Q_FUNC_INFO), -1.0);
        QVERIFY(log.contains(QStringLiteral("parameter Nope  not found!")));
        QCOMPARE(accessor.getInt(volume, masterCollectionKey, Q_FUNC_INFO), -1);
        QVERIFY(log.contains(QStringLiteral("Volume conversion to int failed!")));
        QCOMPARE(accessor.getString(QStringLiteral("Nope"), masterCollectionKey, Q_FUNC_INFO), QString());

        // A parameter without any value (no default, nothing stored) fails its conversion.
        service.catalogs->getCatalog(QStringLiteral("speech"), masterCollectionKey)
            ->getParameter(QStringLiteral("Speech speed"), false)
            ->value
            = QVariant();
        log.clear();
        QCOMPARE(accessor.getInt(QStringLiteral("Speech speed"), masterCollectionKey, Q_FUNC_INFO), -1);
        QVERIFY(log.contains(QStringLiteral("ERROR: Speech speed conversion to int failed!")));
        QCOMPARE(accessor.getDouble(QStringLiteral("Speech speed"), masterCollectionKey, Q_FUNC_INFO), -1.0);
        QVERIFY(log.contains(QStringLiteral("ERROR: Speech speed conversion to double failed!")));
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
        // No temporary file is left beside the settings file.
        QCOMPARE(QDir(QFileInfo(m_root->file(speechFile)).absolutePath())
                     .entryList({ QStringLiteral("speech*") }, QDir::Files),
            QStringList { QStringLiteral("speech") });
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

    void dataFilesAreRestoredFromTheirBackup()
    {
        QVERIFY(m_root->writeFile(propertyListFile, "{ not json"));
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
