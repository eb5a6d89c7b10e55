// The paper catalogue and user papers on the shipped data: the model predicates for every type
// code, user paper numbering, bounds and files, paper names resolved to entities, the order of the
// paper validity rules, and the load-and-restore rule of the three catalogue files.
#include "LogCapture.h"
#include "TestRoot.h"

#include "document/Embosser.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"
#include "paper/ModelPredicates.h"
#include "paper/PaperEntity.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>

#include <algorithm>
#include <memory>
#include <numeric>

namespace {
const QString stateDir = QStringLiteral("/var/lib/embosser");
const QString dataDir = QStringLiteral("/usr/share/configuration-manager");
const QStringList catalogueFiles
    = { QStringLiteral("embosserList.json"), QStringLiteral("paperList.json"), QStringLiteral("paperRegions.json") };
const QString zentra = QStringLiteral("Corvane Zentra");
const QString tormel = QStringLiteral("Corvane Tormel-D V4");

// Every query of the model description against the type codes 0 (no model) to 14, one column a code.
const std::pair<const char*, const char*> predicateTable[] = {
    { "011000000100000", "isTormel" },
    { "000110000000000", "isAlvero" },
    { "000000100000000", "isVarnex" },
    { "000000010000000", "isPlisto" },
    { "000000000000010", "isPlistoPlus" },
    { "000000000010000", "isMirela" },
    { "000000000001000", "isDarvo" },
    { "000000000100000", "isKeltrix" },
    { "000000000011000", "isNox" },
    { "011000000111000", "isTormelNox" },
    { "000000000000001", "isUlk" },
    { "000000001000100", "isZentra" },
    { "000110100000000", "hasBooklet" },
    { "000000110000010", "hasMultipleHeadsPerPage" },
    { "111111111110111", "isDoubleSided" },
    { "000110100000000", "hasFeeder" },
    { "011000010111010", "hasTractorFeed" },
    { "111110011111111", "isUserPaperCompatible" },
    { "011000010000010", "isUserPaperImperial" },
};
const char* const slaveCounts = "111111331111161";

// Each predicate of the model description, by the name of its direct method, against its column.
void checkPredicates(const Embosser& embosser, int type)
{
    const QVector<Embosser::Predicate> predicates = ModelPredicates::all();
    for (const auto& row : predicateTable) {
        const auto predicate = std::find_if(predicates.cbegin(), predicates.cend(),
            [&row](Embosser::Predicate p) { return ModelPredicates::name(p) == QLatin1String(row.second); });
        QVERIFY2(predicate != predicates.cend(), row.second);
        QVERIFY2(embosser.holds(*predicate) == (row.first[type] == '1'),
            qPrintable(QStringLiteral("%1, type %2").arg(row.second).arg(type)));
    }
    QCOMPARE(embosser.numberOfSlaves(), slaveCounts[type] - '0');
}

// The catalogue as start-up builds it for one model.
struct Catalogue {
    Catalogue(const QString& name, const ls::JFile& file)
        : model(name, file)
        , papers(file)
        , regions(file)
        , settings(model, papers, regions)
    {
    }
    ModelPaper model;
    PaperList papers;
    PaperRegion regions;
    PaperSettings settings;
};

QVariantMap request(const QVariant& width, const QVariant& height, const QString& unit = QStringLiteral("Milimeters"),
    const QVariant& orientation = 0)
{
    return { { ls::sizeUnitKey, unit }, { ls::widthKey, width }, { ls::heightKey, height },
        { ls::formatOrientationKey, orientation } };
}

// Compares as text, since numbers come back from JSON as doubles.
void compareValues(const QVariantMap& actual, const QVariantMap& expected)
{
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QVERIFY2(actual.value(it.key()).toString() == it.value().toString(), qPrintable(it.key()));
    }
}

void expectLogged(const LogCapture& log, const QStringList& texts)
{
    for (const QString& text : texts) {
        QVERIFY2(log.contains(text), qPrintable(text));
    }
}
} // namespace

class TestPaper : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;

    QString userPaperPath(int n) const { return m_root->file(stateDir + QStringLiteral("/userpaper.%1").arg(n)); }

    QStringList userPaperFiles() const
    {
        return QDir(m_root->file(stateDir)).entryList({ QStringLiteral("userpaper.*") }, QDir::Files);
    }

    // Copies one written user paper to the given numbers, as if the user had made them all.
    void fillUserPapers(const QVector<int>& numbers) const
    {
        int first = -1;
        QVERIFY(Catalogue(zentra, m_file).settings.writeUserPaper(request(210.0, 297.0), first));
        for (const int n : numbers) {
            QVERIFY(n == first || QFile::copy(userPaperPath(first), userPaperPath(n)));
        }
        QVERIFY(numbers.contains(first) || QFile::remove(userPaperPath(first)));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // Restores succeed at info level and the validity answers are debug lines.
        QLoggingCategory::setFilterRules(QStringLiteral("ModelPaper.info=true\nPaperList.info=true\n"
                                                        "PaperRegion.info=true\nPaperSettings.debug=true"));
    }

    void init()
    {
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->restoreShipped(dataDir + QLatin1Char('/') + name));
            QVERIFY(m_root->restoreShipped(dataDir + QStringLiteral("/backup/") + name));
        }
        for (const QString& name : userPaperFiles()) {
            QVERIFY(QFile::remove(m_root->file(stateDir + QLatin1Char('/') + name)));
        }
    }

    void everyShippedModel()
    {
        QVariantMap models;
        QVERIFY(m_file.readToMap(m_root->file(dataDir + QStringLiteral("/embosserList.json")), models));
        QCOMPARE(models.size(), 14);
        for (const QString& model : models.keys()) {
            const Catalogue c(model, m_file);
            Embosser embosser(c.model);
            const int type = c.model.getEmbosserType();
            QVERIFY2(type >= 1 && type <= 14, qPrintable(model));
            QCOMPARE(c.model.isDoubleSided(), type != 11);
            checkPredicates(embosser, type);
            // Feed type Any fits every model.
            QVERIFY2(c.settings.isPaperValid(lcm::Region::Europe, QStringLiteral("A4")), qPrintable(model));
        }
    }

    void anUnknownModelAnswersEveryFailureValue()
    {
        LogCapture log;
        const ModelPaper m(QStringLiteral("Corvane Nonesuch"), m_file);
        Embosser embosser(m);
        QCOMPARE(QList<double>({ m.getMinWidth(), m.getMaxWidth(), m.getMinHeight(), m.getMaxHeight() }),
            QList<double>({ -1.0, -1.0, -1.0, -1.0 }));
        QCOMPARE(QList<int>({ m.getEmbosserType(), m.getFeedType(), m.getHeadType(), m.getModelMask(),
                     m.getPaperDirection() }),
            QList<int>({ 0, 0, 0, 0, -1 }));
        expectLogged(log,
            { "does not contain entry for Corvane Nonesuch", "conversion to double failed!",
                "conversion to int failed!", "conversion to EmbosserType enum value failed!",
                "conversion to FeedType enum value failed!", "conversion to HeadType enum value failed!",
                "conversion to ModelMask enum value failed!" });
        // Type 0, like a code beyond the bit set, holds only the exceptions.
        checkPredicates(embosser, 0);
        QVERIFY(!ModelPredicates::holds(ModelPredicates::Predicate::Zentra, 40, 40));
    }

    // User papers are numbered as layouts are: the piece after "userpaper." read in decimal, any
    // further suffix ignored, in directory (name) order, repeats and numbers outside 1..99 kept.
    void userPaperNumbersFollowTheDirectoryListing_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("free");
        QTest::newRow("a gap") << QStringList({ "userpaper.4", "userpaper.1", "userpaper.2" })
                               << QList<int>({ 1, 2, 4 }) << 3;
        QTest::newRow("name order") << QStringList({ "userpaper.2", "userpaper.10", "userpaper.1" })
                                    << QList<int>({ 1, 10, 2 }) << 3;
        QTest::newRow("a suffix counts") << QStringList({ "userpaper.1", "userpaper.2.bak" }) << QList<int>({ 1, 2 })
                                         << 3;
        QTest::newRow("repeats") << QStringList({ "userpaper.7", "userpaper.7.bak" }) << QList<int>({ 7, 7 }) << 1;
        QTest::newRow("strays") << QStringList({ "userpaper.100", "userpaper.03", "userpaper.0", "userpaper.-1" })
                                << QList<int>({ -1, 0, 3, 100 }) << 1;
        QTest::newRow("no number") << QStringList(
            { "userpaper.x", "userpaper.", "userpaper..1", "userpaper", "Userpaper.1", "userpapers.1" })
                                   << QList<int>() << 1;
    }

    void userPaperNumbersFollowTheDirectoryListing()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, numbers);
        QFETCH(int, free);
        for (const QString& name : names) {
            QVERIFY(m_root->writeFile(stateDir + QLatin1Char('/') + name, "{}"));
        }
        const Catalogue c(zentra, m_file);
        QCOMPARE(c.settings.getUserPaperNumbers(), numbers);
        QCOMPARE(c.settings.getUserPaperCount(), numbers.size());
        QCOMPARE(c.settings.getUserPaperValues().value(ls::paperNrKey).toInt(), free);
        for (const QString& name : names) {
            QFile::remove(m_root->file(stateDir + QLatin1Char('/') + name));
        }
    }

    // A new paper takes the first number nothing in the directory claims; a number whose own file
    // is missing is left out of the full listing.
    void aNewUserPaperTakesTheFirstFreeNumber()
    {
        fillUserPapers({ 1, 2, 4 });
        QVERIFY(QFile::copy(userPaperPath(4), userPaperPath(5) + QStringLiteral(".bak")));
        const Catalogue c(zentra, m_file);
        compareValues(c.settings.getUserPaperValues(),
            { { ls::descriptionKey, "User_defined_3" }, { ls::paperNrKey, 3 }, { ls::sizeUnitKey, ls::milimetersKey },
                { ls::minPaperWidthKey, c.model.getMinWidth() }, { ls::maxPaperWidthKey, c.model.getMaxWidth() },
                { ls::minPaperHeightKey, c.model.getMinHeight() }, { ls::maxPaperHeightKey, c.model.getMaxHeight() } });
        int n = 0;
        QVERIFY(c.settings.writeUserPaper(request(150.0, 200.0), n));
        QCOMPARE(n, 3);
        QVariantMap third;
        QVERIFY(m_file.readToMap(userPaperPath(3), third));
        QCOMPARE(third.value(ls::paperSizeKey).toInt(), 75);
        QCOMPARE(third.value(QStringLiteral("paperDescription")).toString(), QStringLiteral("User_defined_3"));
        QVERIFY(c.settings.writeUserPaper(request(150.0, 200.0), n));
        QCOMPARE(n, 6);
        LogCapture log;
        QCOMPARE(c.settings.readAllUserPapers().keys(), QStringList({ "1", "2", "3", "4", "6" }));
        QVERIFY(log.contains(QStringLiteral("no data found in the user paper file.")));
        const Catalogue imperial(tormel, m_file);
        QCOMPARE(imperial.settings.getUserPaperValues().value(ls::sizeUnitKey).toString(), ls::inchesKey);
    }

    void theNinetyNinthPaperIsTheLast()
    {
        QVector<int> numbers(98);
        std::iota(numbers.begin(), numbers.end(), 1);
        fillUserPapers(numbers);
        const Catalogue c(zentra, m_file);
        int n = 0;
        QVERIFY(c.settings.writeUserPaper(request(210.0, 297.0), n));
        QCOMPARE(n, 99);
        QVariantMap last;
        QVERIFY(m_file.readToMap(userPaperPath(99), last));
        QCOMPARE(last.value(ls::paperSizeKey).toInt(), 171);
        LogCapture log;
        QVERIFY(!c.settings.writeUserPaper(request(210.0, 297.0), n));
        QVERIFY(c.settings.getUserPaperValues().isEmpty());
        // Numbers outside 1..99 are refused before any file is looked at.
        QVERIFY(c.settings.readUserPaper(0).isEmpty() && c.settings.readUserPaper(100).isEmpty());
        QCOMPARE(log.count(QStringLiteral("invalid paper number!")), 2);
        QVERIFY(!c.settings.deleteUserPaper(100));
        QVERIFY(c.settings.deleteUserPaper(99));
        QVERIFY(!c.settings.deleteUserPaper(99));
        expectLogged(log,
            { "PaperSettings::writeUserPaper ERROR: no free user paper number found.",
                "no free user paper number found!", "invalid user paper nr. received.", "user paper does not exist." });
    }

    // Every check comes before the write. The Tormel takes 101.6..330.2 mm by 76.2..355.6 mm.
    void onlyAcceptableRequestsAreWritten_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("message");
        const QString bounds = QStringLiteral("is outside the embosser paper bounds.");
        QTest::newRow("the minimum itself") << request(101.6, 76.2) << QString();
        QTest::newRow("the maximum itself") << request(330.2, 355.6) << QString();
        QTest::newRow("width below the minimum") << request(101.1, 200.0) << bounds;
        QTest::newRow("width above the maximum") << request(330.7, 200.0) << bounds;
        QTest::newRow("height below the minimum") << request(200.0, 75.7) << bounds;
        QTest::newRow("height above the maximum") << request(200.0, 356.1) << bounds;
        QTest::newRow("not a number") << request(qQNaN(), 200.0) << bounds;
        QTest::newRow("unit") << request(200.0, 200.0, "Furlongs") << "conversion to SizeUnit enum value failed!";
        QTest::newRow("no height") << request(200.0, QVariant()) << "paper size conversion to double failed!";
        QTest::newRow("unknown orientation")
            << request(200.0, 200.0, QStringLiteral("Milimeters"), 7) << "conversion to Orientation enum value failed!";
    }

    void onlyAcceptableRequestsAreWritten()
    {
        QFETCH(QVariantMap, data);
        QFETCH(QString, message);
        const Catalogue c(tormel, m_file);
        LogCapture log;
        int n = 0;
        QCOMPARE(c.settings.writeUserPaper(data, n), message.isEmpty());
        QCOMPARE(userPaperFiles().size(), message.isEmpty() ? 1 : 0);
        QVERIFY(message.isEmpty() || log.contains(message));
    }

    void aUserPaperIsWrittenReadAndResolvedByName()
    {
        const Catalogue c(zentra, m_file);
        int n = 0;
        QVERIFY(c.settings.writeUserPaper(request(210.0, 297.0, QStringLiteral("Milimeters"), "Landscape"), n));
        QVariantMap file;
        QVERIFY(m_file.readToMap(userPaperPath(n), file));
        // 210 mm is 8.27 in, 8 and 1/4; 297 mm is 11.69 in, 11 and 2/3; the feed has 50 steps per inch.
        compareValues(file,
            { { "Paper size", 73 }, { "Paper size unit", 1 }, { "Paper width", 210.0 }, { "Paper length", 297.0 },
                { "paperDescription", "User_defined_1" }, { "validToUse", 1 }, { "iInchesWidth", 81 },
                { "iInchesLen", 114 }, { "iStepLen", 583 }, { "stepLenFraction", 0 }, { "flPrintingHeadOffset", 0.0 },
                { "iFormatOrientation", 1 }, { "iPaperLoadOrientation", 0 }, { "iModels", 255 }, { "iFeedType", 0 } });
        compareValues(c.settings.readUserPaper(1),
            { { ls::descriptionKey, "User_defined_1" }, { ls::paperNrKey, 1 }, { ls::sizeUnitKey, ls::milimetersKey },
                { ls::widthKey, 210.0 }, { ls::heightKey, 297.0 }, { ls::formatOrientationKey, 1 },
                { ls::inchesWidthKey, 81 }, { ls::inchesHeightKey, 114 } });
        // A name not in the paper list reads the user paper of its number.
        QVERIFY(QFile::rename(userPaperPath(1), userPaperPath(7)));
        for (const PaperEntity& paper : { c.papers.toEntity(QStringLiteral("User_defined_7")),
                 c.settings.getPaperEntity(QStringLiteral("User_defined_7")) }) {
            QVERIFY(paper.isValid() && paper.isUserPaper());
            QCOMPARE(QList<double>({ paper.getWidth(), paper.getHeight() }), QList<double>({ 210.0, 297.0 }));
            QCOMPARE(QList<int>({ paper.getInchesWidth(), paper.getInchesHeight(), paper.getStepLength(),
                         paper.getFormatOrientation(), paper.getLoadOrientation(), paper.getModelMask() }),
                QList<int>({ 81, 114, 583, int(lcm::Orientation::Landscape), int(lcm::Orientation::Portrait), 255 }));
            QCOMPARE(paper.getSizeUnitText(), ls::milimetersKey);
        }
        QVERIFY(c.settings.writeUserPaper(request(215.9, 279.4, QStringLiteral("Inches")), n));
        QCOMPARE(c.settings.readUserPaper(n).value(ls::sizeUnitKey).toString(), ls::inchesKey);
    }

    void unknownOrBrokenPapersGiveAnInvalidEntity()
    {
        fillUserPapers({ 1 });
        QVariantMap record;
        QVERIFY(m_file.readToMap(userPaperPath(1), record));
        record.insert(QStringLiteral("iFormatOrientation"), 9);
        record.insert(QStringLiteral("iPaperLoadOrientation"), QStringLiteral("sideways"));
        QVERIFY(m_file.writeFromMap(QString(), userPaperPath(1), record));
        const Catalogue c(zentra, m_file);
        LogCapture log;
        for (const char* name : { "User_defined_1", "User_defined_8", "Folio" }) {
            QVERIFY2(!c.papers.toEntity(name).isValid() && !c.settings.getPaperEntity(name).isValid(), name);
        }
        expectLogged(log,
            { "format orientation conversion to enum value failed!",
                "load orientation conversion to enum value failed!", "reading user defined paper 8 failed!",
                "paper size User_defined_8 not found => check for user paper.", "no user paper found",
                "Folio is not a user paper" });
        // An invalid user paper is refused before the user paper shortcut.
        QVERIFY(!c.settings.isPaperValid(lcm::Region::Europe, QStringLiteral("User_defined_1")));
    }

    void aPaperRecordFieldThatDoesNotConvertInvalidatesTheEntity()
    {
        const QVariantMap a4 = Catalogue(zentra, m_file).papers.getPaperList().value(QStringLiteral("A4")).toMap();
        LogCapture log;
        for (const QString& key : { ls::widthKey, ls::inchesWidthKey, QStringLiteral("eFormatOrientation"),
                 QStringLiteral("eModelMask"), ls::eFeedTypeKey }) {
            QVariantMap record = a4;
            record.insert(key, QStringLiteral("8 1/4"));
            PaperEntity broken(QStringLiteral("A4"));
            QVERIFY2(!broken.load(record) && !broken.isValid(), qPrintable(key));
            QCOMPARE(broken.getFeedType(), 0);
            QCOMPARE(broken.getModelMask(), -1);
        }
        expectLogged(log,
            { "width conversion to double failed!", "inchesWidth conversion to int failed!",
                "conversion to Orientation enum value failed!", "conversion to ModelMask enum value failed!",
                "conversion to FeedType enum value failed!" });
    }

    void paperValidityRules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("region");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* model, lcm::Region region, const char* paper, bool valid, const char* message) {
            QTest::addRow("%s, %s, region %d", paper, model, int(region))
                << QString(QStringLiteral("Corvane ") + QLatin1String(model)) << int(region) << paper << valid
                << QString::fromLatin1(message).replace(QLatin1String("%1"), QLatin1String(paper));
        };
        // A user paper is valid on any model (even one without user papers) before the region is looked up.
        row("Varnex V5", lcm::Region::Japan, "User_defined_1", true, "User paper %1 is valid!");
        // The placeholder paper is in no region's list; Undefined and World skip the lists.
        row("Zentra", lcm::Region::Europe, "paperSizeCustom", false, "Invalid paper region for %1");
        row("Zentra", lcm::Region::World, "paperSizeCustom", true, "%1 is valid.");
        row("Zentra", lcm::Region::Undefined, "paperSizeCustom", true, "%1 is valid.");
        row("Zentra", static_cast<lcm::Region>(42), "A4", false, "invalid region!");
        // The region is asked before the feed type.
        row("Zentra", lcm::Region::Japan, "12 x 11 inch", false, "Invalid paper region for %1");
        row("Zentra", lcm::Region::World, "Tractor A4", false, "%1 is not valid.");
        row("Tormel-D V4", lcm::Region::World, "Tractor A4", true, "%1 is valid.");
        // A3 has feed type Any and the large sheet models' mask: only the masks decide, by bitwise and.
        row("Alvero-D V4", lcm::Region::Europe, "A3", true, "%1 is valid.");
        row("Zentra", lcm::Region::Europe, "A3", false, "%1 is not valid.");
        row("Zentra", lcm::Region::World, "Folio", false, "Invalid paper entity for %1");
    }

    void paperValidityRules()
    {
        QFETCH(QString, model);
        QFETCH(int, region);
        QFETCH(QString, paper);
        QFETCH(bool, valid);
        QFETCH(QString, message);
        fillUserPapers({ 1 });
        // A copy of A4 that needs tractor feed: only the feed type can refuse it.
        const QString paperList = m_root->file(dataDir + QStringLiteral("/paperList.json"));
        QVariantMap papers;
        QVERIFY(m_file.readToMap(paperList, papers));
        QVariantMap tractorA4 = papers.value(QStringLiteral("A4")).toMap();
        tractorA4.insert(ls::eFeedTypeKey, QStringLiteral("Tractor"));
        papers.insert(QStringLiteral("Tractor A4"), tractorA4);
        QVERIFY(m_file.writeFromMap(QString(), paperList, papers));
        const Catalogue c(model, m_file);
        LogCapture log;
        QCOMPARE(c.settings.isPaperValid(static_cast<lcm::Region>(region), paper), valid);
        expectLogged(log, { message });
    }

    void aCorruptCatalogueIsRestoredFromItsBackup()
    {
        const QStringList loaders = { "ModelPaper::load", "PaperList::load", "PaperRegion::load" };
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->writeFile(dataDir + QLatin1Char('/') + name, "{ \"A4\": "));
        }
        LogCapture log;
        const Catalogue c(zentra, m_file);
        for (int i = 0; i < loaders.size(); ++i) {
            const QString path = dataDir + QLatin1Char('/') + catalogueFiles.at(i);
            expectLogged(log,
                { QStringLiteral("%1 ERROR: reading %2 failed => try restore.").arg(loaders.at(i), m_root->file(path)),
                    loaders.at(i) + QStringLiteral(" INFO: Restore succeded!") });
            QCOMPARE(
                m_root->readFile(path), m_root->readFile(dataDir + QStringLiteral("/backup/") + catalogueFiles.at(i)));
        }
        QCOMPARE(c.model.getEmbosserType(), int(lcm::EmbosserType::Zentra));
        QVERIFY(c.papers.toEntity(QStringLiteral("A4")).isValid());
        // A region's default is the first of its list.
        QCOMPARE(c.regions.getPaper(lcm::Region::Europe), QStringLiteral("A4"));
        // Without a usable backup the catalogue stays empty.
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->writeFile(dataDir + QLatin1Char('/') + name, "not json"));
            QVERIFY(QFile::remove(m_root->file(dataDir + QStringLiteral("/backup/") + name)));
        }
        const Catalogue empty(zentra, m_file);
        for (const QString& loader : loaders) {
            QVERIFY(log.contains(loader + QStringLiteral(" CRITICAL: Restore failed!")));
        }
        QVERIFY(!empty.settings.isPaperValid(lcm::Region::World, QStringLiteral("A4")));
        QVERIFY(empty.regions.getPaper(lcm::Region::Europe).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPaper)
#include "tst_paper.moc"
