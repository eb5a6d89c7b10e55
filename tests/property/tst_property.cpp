// Parameter catalogs on the shipped data: collections as independent values, the accessor
// pattern of the settings classes (collection name, save flag, settings file), the defaults,
// the flash merge, and the load-and-restore rule of the data files.
#include "DataRow.h"
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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
CM_LOGGING_CATEGORY(lcSpeechTest, "Speech")

const QString speechFile = QStringLiteral("/var/lib/embosser/speech");
const QString embosserConfFile = QStringLiteral("/var/lib/embosser/embosserConf");
const QString propertyListFile = QStringLiteral("/usr/share/configuration-manager/propertyList.json");
const QString propertyListBackup = QStringLiteral("/usr/share/configuration-manager/backup/propertyList.json");
const QString& master = masterCollectionKey;
const QString volume = QStringLiteral("Volume");
const QString speed = QStringLiteral("Speech speed");
} // namespace

class TestProperty : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;

    // The start-up order of the master collection: definitions, defaults, then a topic's file.
    struct Service {
        explicit Service(const ls::JFile& file)
            : property(file, file)
            , catalogs(property)
            , defaults(file, file, catalogs)
            , valueLists(file)
        {
            catalogs.checker().setValueLists(&valueLists);
        }
        Property property;
        CatalogsManager catalogs;
        DefaultParameters defaults;
        PropValueList valueLists;
    };

    // The accessor of a topic with its file loaded, as its settings class builds it.
    CatalogAccessor accessor(Service& service, const QString& catalog = "speech") const
    {
        CatalogAccessor accessor(
            catalog, m_root->file("/var/lib/embosser/" + catalog), m_file, m_file, service.catalogs, lcSpeechTest());
        accessor.load(Q_FUNC_INFO);
        return accessor;
    }

    QVariantMap readJson(const QString& path) const
    {
        QVariantMap content;
        m_file.readToMap(path, content);
        return content;
    }

    // Programs the model field of the simulated flash memory.
    void setFlashModel(const QString& value) const
    {
        QString flash = QString::fromUtf8(m_root->readFile("/var/lib/sim/eeprom"));
        flash.remove(QRegularExpression("^Model=.*\n", QRegularExpression::MultilineOption));
        QVERIFY(m_root->writeFile("/var/lib/sim/eeprom", ("Model=" + value + '\n' + flash).toUtf8()));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // The restore's success is logged at info level, below the categories' threshold.
        QLoggingCategory::setFilterRules("Property.info=true");
    }

    void init()
    {
        for (const QString& file : { speechFile, embosserConfFile, propertyListFile, propertyListBackup }) {
            QVERIFY(m_root->restoreShipped(file));
        }
    }

    // The master collection holds the file's values; every other collection is a value of its own,
    // copied by duplication or addition; a collection name that does not exist means the master.
    void collectionsAreIndependentValues()
    {
        Service service(m_file);
        QVERIFY(service.catalogs.getCatalogNames(master).contains("speech"));
        CatalogAccessor speech = accessor(service);
        const QVariantMap stored = readJson(m_root->file(speechFile));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), stored.value(volume).toString());
        QCOMPARE(speech.getInt(speed, master, Q_FUNC_INFO), stored.value(speed).toInt());

        QVERIFY(service.catalogs.duplicateCatalog(master, "job"));
        QVERIFY(speech.setValue(volume, "high", "job", false, Q_FUNC_INFO));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), stored.value(volume).toString());
        QVERIFY(speech.setValue(volume, "low", master, false, Q_FUNC_INFO));
        QCOMPARE(speech.getString(volume, "job", Q_FUNC_INFO), QString("high"));

        // The master catalog the accessor uses survives removal and duplication of others.
        QVERIFY(service.catalogs.removeCatalogsCollection("job"));
        QVERIFY(service.catalogs.duplicateCatalog(master, "other"));
        QVERIFY(speech.setValue(volume, "medium", master, false, Q_FUNC_INFO));
        QCOMPARE(speech.getString(volume, "other", Q_FUNC_INFO), QString("low"));
        QCOMPARE(service.catalogs.getCatalog("speech", master)->parameter(volume)->value.toString(), QString("medium"));
        service.catalogs.addCatalogsCollection("print");
        QVERIFY(speech.setValue(volume, "high", "print", false, Q_FUNC_INFO));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), QString("medium"));

        LogCapture log;
        QVERIFY(speech.setValue(volume, "high", "no such job", false, Q_FUNC_INFO));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), QString("high"));
        QCOMPARE(speech.getString(volume, "another", Q_FUNC_INFO), QString("high"));
        QVERIFY(log.messages().isEmpty());
    }

    void duplicationAndRemovalRules()
    {
        Service service(m_file);
        CatalogsManager& catalogs = service.catalogs;
        CatalogAccessor speech = accessor(service);
        LogCapture log;
        QVERIFY(!catalogs.duplicateCatalog("missing", "x"));
        QVERIFY(!catalogs.removeCatalogsCollection("missing"));

        // Duplicating onto the master replaces the master values.
        QVERIFY(catalogs.duplicateCatalog(master, "edit"));
        QVERIFY(speech.setValue(volume, "low", "edit", false, Q_FUNC_INFO));
        QVERIFY(catalogs.duplicateCatalog("edit", master));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), QString("low"));
        // The master collection holds the live configuration: it cannot be removed.
        QVERIFY(!catalogs.removeCatalogsCollection(master));
        QCOMPARE(speech.getString(volume, master, Q_FUNC_INFO), QString("low"));

        // Collections are bounded in name length and number.
        QVERIFY(!catalogs.duplicateCatalog(master, QString(65, 'j')));
        QVERIFY(!catalogs.duplicateCatalog(master, QString()));
        for (int i = 2; i < CatalogsManager::maxCollections; ++i) {
            QVERIFY(catalogs.duplicateCatalog(master, QString::number(i)));
        }
        QVERIFY(!catalogs.addCatalogsCollection("one too many"));
        QVERIFY(catalogs.duplicateCatalog(master, "edit")); // replaces
        QVERIFY(log.contains("no more than 32 collections"));

        // A catalog that is not there: every accessor reports it and answers its error value.
        CatalogAccessor missing("missing", m_root->file(speechFile), m_file, m_file, catalogs, lcSpeechTest());
        log.clear();
        QCOMPARE(missing.getInt(speed, master, "int Speech::getSpeechSpeed(const QString&)"), -1);
        QVERIFY(log.contains("Speech::getSpeechSpeed ERROR: missing catalog does not exist."));
        QCOMPARE(missing.getString(volume, master, Q_FUNC_INFO), QString());
        QVERIFY(!missing.setValue(volume, "low", master, false, Q_FUNC_INFO));
    }

    // A setter stores a value only when it fits its definition; a refused value changes nothing.
    // Numbers that are not finite never reach a file (JSON has no NaN: it would be written as null).
    void valuesMustFitTheirDefinition_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        const QString step = "PF Step dist";
        row("int in range", "speech", speed, QVariant(7), true);
        row("int as text", "speech", speed, QVariant("7"), true);
        row("int above the maximum", "speech", speed, QVariant(1000000), false);
        row("int below the minimum", "speech", speed, QVariant(0), false);
        row("int with a fraction", "speech", speed, QVariant(2.5), false);
        row("int from a word", "speech", speed, QVariant("fast"), false);
        row("text in the value list", "speech", volume, QVariant("high"), true);
        row("text outside the value list", "speech", volume, QVariant("loud"), false);
        row("value list, other case", "speech", volume, QVariant("High"), false);
        row("nested value", "speech", volume, QVariant(QVariantMap { { "a", 1 } }), false);
        row("text of bounded length", "speech", "Current speech", QVariant(QString(1024, 'e')), true);
        row("text too long", "speech", "Current speech", QVariant(QString(1025, 'e')), false);
        row("a finite double", "parameters", step, QVariant(0.25), true);
        row("NaN", "parameters", step, QVariant(qQNaN()), false);
        row("infinity", "parameters", step, QVariant(qInf()), false);
        row("minus infinity", "parameters", step, QVariant(-qInf()), false);
    }

    void valuesMustFitTheirDefinition()
    {
        QFETCH(QString, catalog);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/parameters"));
        Service service(m_file);
        CatalogAccessor topic = accessor(service, catalog);
        const QVariant before = topic.getValue(name, master, Q_FUNC_INFO);
        const QByteArray file = m_root->readFile("/var/lib/embosser/" + catalog);
        LogCapture log;

        QCOMPARE(topic.setValue(name, value, master, true, Q_FUNC_INFO), accepted);

        QCOMPARE(topic.getValue(name, master, Q_FUNC_INFO), accepted ? value : before);
        QCOMPARE(m_root->readFile("/var/lib/embosser/" + catalog) == file, !accepted);
        QCOMPARE(log.contains("refused value for " + name), !accepted);
    }

    // The save flag writes one key into the topic's file, whatever collection was addressed; a
    // change without it stays in memory, and a save of the whole file writes only the values
    // that are in the file and not null.
    void savedValuesAndFiles()
    {
        Service service(m_file);
        CatalogAccessor speech = accessor(service);
        const QByteArray before = m_root->readFile(speechFile);
        QVERIFY(speech.setValue(volume, "high", master, false, Q_FUNC_INFO));
        QCOMPARE(m_root->readFile(speechFile), before);

        service.catalogs.addCatalogsCollection("job");
        QVERIFY(speech.setValue(speed, 9, "job", true, Q_FUNC_INFO));
        QVariantMap expected = readJson(TestRoot::sourceDir() + "/data" + speechFile);
        const QVariantMap stored = readJson(m_root->file(speechFile));
        QCOMPARE(stored.value(speed).toInt(), 9);
        expected.insert(speed, stored.value(speed));
        QCOMPARE(stored, expected); // the in-memory change of Volume is not written along
        // No temporary file is left beside the settings file; its last good copy is.
        QCOMPARE(QDir(QFileInfo(m_root->file(speechFile)).absolutePath()).entryList({ "speech*" }, QDir::Files),
            (QStringList { "speech", "speech.good" }));

        // A speech file without "Volume": the default stays in memory, out of the file.
        QVariantMap shipped = readJson(m_root->file(speechFile));
        shipped.remove(volume);
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(speechFile), shipped));
        Service fresh(m_file);
        CatalogAccessor reloaded = accessor(fresh);
        QVERIFY(!reloaded.getString(volume, master, Q_FUNC_INFO).isEmpty());
        EmbosserParameter* nulled = fresh.catalogs.getCatalog("speech", master)->getParameter(speed, false);
        nulled->value = QVariant();
        QVERIFY(nulled->inFile);
        QVERIFY(reloaded.saveToFile(Q_FUNC_INFO));
        shipped.remove(speed);
        QCOMPARE(readJson(m_root->file(speechFile)), shipped);
    }

    // The flash model is taken over once when it differs (the file rewritten), never when it
    // differs in case only or is empty, and never asked for when its key is "NULL" in capitals.
    void flashValuesAreMergedOnce_data()
    {
        QTest::addColumn<QString>("flashModel");
        QTest::addColumn<bool>("rewritten");
        QTest::addColumn<bool>("nullKey");
        row("differs only in case: nothing changes", "corvane ZENTRA", false, false);
        row("differs: taken over and the file rewritten", "Corvane Varnex V5", true, false);
        row("empty flash entry: skipped", "", false, false);
        row("a null key in capitals", "Corvane Varnex V5", false, true);
    }

    void flashValuesAreMergedOnce()
    {
        QFETCH(QString, flashModel);
        QFETCH(bool, rewritten);
        QFETCH(bool, nullKey);
        if (nullKey) {
            QVariantMap definitions = readJson(m_root->file(propertyListFile));
            QVariantMap conf = definitions.value("embosserConf").toMap();
            QVariantMap model = conf.value("Model").toMap();
            model.insert("systemInfoParam", "NULL");
            conf.insert("Model", model);
            definitions.insert("embosserConf", conf);
            QVERIFY(m_file.writeFromMap(QString(), m_root->file(propertyListFile), definitions));
        }
        Service service(m_file);
        CatalogAccessor conf = accessor(service, "embosserConf");
        const QString shippedModel = conf.getString("Model", master, Q_FUNC_INFO);
        QCOMPARE(shippedModel, QString("Corvane Zentra"));
        setFlashModel(flashModel);
        const QByteArray before = m_root->readFile(embosserConfFile);
        const QDateTime modified = QFileInfo(m_root->file(embosserConfFile)).lastModified();
        SimCalls calls(m_root->path());
        calls.clear();

        conf.syncFlashParameters(Q_FUNC_INFO);

        setFlashModel(shippedModel);
        QCOMPARE(calls.of("eeprom-handler").contains({ "-g", "Model" }), !nullKey);
        QCOMPARE(conf.getString("Model", master, Q_FUNC_INFO), rewritten ? flashModel : shippedModel);
        if (rewritten) {
            QCOMPARE(readJson(m_root->file(embosserConfFile)).value("Model").toString(), flashModel);
        } else {
            QCOMPARE(m_root->readFile(embosserConfFile), before);
            QCOMPARE(QFileInfo(m_root->file(embosserConfFile)).lastModified(), modified);
        }
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
        QVERIFY(log.contains(
            "Property::load ERROR: reading " + m_root->file(propertyListFile) + " failed => try restore."));
        QVERIFY(log.contains("Property::load INFO: Restore succeded!"));
        QVERIFY(restored.catalogs().contains("speech"));
        QCOMPARE(m_root->readFile(propertyListFile), m_root->readFile(propertyListBackup));

        // Both copies unreadable: the catalogs stay empty and every getter fails softly.
        QVERIFY(m_root->writeFile(propertyListFile, "[]"));
        QVERIFY(m_root->writeFile(propertyListBackup, ""));
        log.clear();
        Property lost(m_file, m_file);
        QVERIFY(log.contains("Property::load CRITICAL: Restore failed!"));
        QVERIFY(lost.catalogs().isEmpty());
        QVERIFY(CatalogsManager(lost).getCatalogNames(master).isEmpty());
        QCOMPARE(lost.getPrecision("Speech speed"), 0);
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
        const QByteArray none;
        row("intact", QByteArray("{\"Volume\": \"medium\"}"), good, factory, int(Origin::File), "medium");
        row("truncated: the last good copy", QByteArray("{\"Volume\": \"med"), good, factory, int(Origin::LastGood),
            "high");
        row("garbage, no good copy: the factory copy", QByteArray("\x01\x02garbage"), none, factory,
            int(Origin::Factory), "low");
        row("not flat: the last good copy", QByteArray("{\"Volume\": {\"level\": 2}}"), good, factory,
            int(Origin::LastGood), "high");
        row("missing: the last good copy", none, good, factory, int(Origin::LastGood), "high");
        row("damaged, no copies", QByteArray("[]"), none, none, int(Origin::Nothing), "");
    }

    void settingsFilesAreRepaired()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, good);
        QFETCH(QByteArray, factory);
        QFETCH(int, origin);
        QFETCH(QString, volume);
        QTemporaryDir folder(m_root->file("/var/lib/embosser/repair.XXXXXX"));
        const QString path = folder.filePath("speech");
        const SettingsFile settings(path, m_file, m_file, lcSpeechTest());
        const auto put = [](const QString& name, const QByteArray& content) {
            QFile out(name);
            return content.isNull() || (out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        };
        QVERIFY(put(path, file) && put(settings.lastGoodPath(), good));
        const QByteArray shippedFactory = m_root->readFile("/backup/embosser/factory/speech");
        QVERIFY(factory.isNull() ? QFile::remove(settings.factoryPath()) : put(settings.factoryPath(), factory));
        LogCapture log;

        QVariantMap values;
        QCOMPARE(int(settings.read(values, Q_FUNC_INFO)), origin);

        QCOMPARE(values.value(volume.isEmpty() ? QString() : "Volume").toString(), volume);
        const bool damaged = !file.isNull() && origin != int(SettingsFile::Origin::File);
        QCOMPARE(QFileInfo::exists(settings.damagedPath()), damaged);
        QVERIFY(!damaged || m_root->readFile(settings.damagedPath().mid(m_root->path().size())) == file);
        QVERIFY(origin == int(SettingsFile::Origin::File)
            || log.contains(origin == int(SettingsFile::Origin::Nothing) ? "no usable copy of" : "Restored"));
        // A save replaces whatever is there and becomes the last good copy.
        QVERIFY(settings.writeKey(speed, 4, Q_FUNC_INFO));
        QCOMPARE(readJson(settings.lastGoodPath()).value(speed).toInt(), 4);
        QVERIFY(m_root->writeFile("/backup/embosser/factory/speech", shippedFactory));
    }

    void aValueListThatIsNotAnArrayIsEmpty()
    {
        const QString valueListFile = "/usr/share/configuration-manager/valueList.json";
        QVariantMap content = readJson(m_root->file(valueListFile));
        const QString name = PropValueList::listName(static_cast<int>(lcm::RowValueList::SpeechVolume));
        QVERIFY(content.contains(name));
        content.insert(name, "low, medium, high");
        QVERIFY(m_file.writeFromMap(QString(), m_root->file(valueListFile), content));
        const PropValueList lists(m_file);
        LogCapture log;
        const QVariantList values = lists.getValues(lcm::RowValueList::SpeechVolume);
        QVERIFY(m_root->restoreShipped(valueListFile));
        QVERIFY(values.isEmpty());
        QVERIFY(log.contains("PropValueList::getValues ERROR: value list " + name + " conversion to list failed!"));
    }

    void foldingTestIsCaseSensitive()
    {
        for (const auto& [text, folding] :
            { std::make_pair("A4 booklet", true), std::make_pair("Tractor z-folding 11 inch", true),
                std::make_pair("Z-folding", false), std::make_pair("Booklet", false), std::make_pair("A4", false) }) {
            QVERIFY2(PropValueList::isFolding(text) == folding, text);
        }
    }
};

QTEST_GUILESS_MAIN(TestProperty)
#include "tst_property.moc"
