// The paper catalogue and user papers on the shipped data: the model predicates of every shipped
// model, user paper numbering, bounds and files, paper names resolved to entities, the order of the
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

#include <memory>
#include <numeric>

namespace {
using Predicate = ModelPredicates::Predicate;

const QString stateDir = QStringLiteral("/var/lib/embosser");
const QString dataDir = QStringLiteral("/usr/share/configuration-manager");
const QStringList catalogueFiles = { "embosserList.json", "paperList.json", "paperRegions.json" };
const QString zentra = QStringLiteral("Corvane Zentra");
const QString tormel = QStringLiteral("Corvane Tormel-D V4");

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

QVariantMap request(
    const QVariant& width, const QVariant& height, const QString& unit = "Milimeters", const QVariant& orientation = 0)
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
} // namespace

class TestPaper : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;

    QString userPaperPath(int n) const { return m_root->file(stateDir + QString("/userpaper.%1").arg(n)); }
    QStringList userPaperFiles() const
    {
        return QDir(m_root->file(stateDir)).entryList({ "userpaper.*" }, QDir::Files);
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
        // The validity answers are debug lines.
        QLoggingCategory::setFilterRules("PaperSettings.debug=true");
    }

    void init()
    {
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->restoreShipped(dataDir + '/' + name));
            QVERIFY(m_root->restoreShipped(dataDir + "/backup/" + name));
        }
        for (const QString& name : userPaperFiles()) {
            QVERIFY(QFile::remove(m_root->file(stateDir + '/' + name)));
        }
    }

    // The predicates follow the model's entry: its feed type, its type code (only the Darvo, 11,
    // is single-sided), and the multi-head models drive more than one print processor. Feed type
    // Any fits every model.
    void everyShippedModel()
    {
        QVariantMap models;
        QVERIFY(m_file.readToMap(m_root->file(dataDir + "/embosserList.json"), models));
        QCOMPARE(models.size(), 14);
        for (const QString& model : models.keys()) {
            const Catalogue c(model, m_file);
            const Embosser embosser(c.model);
            const int type = c.model.getEmbosserType();
            const int feed = c.model.getFeedType();
            QVERIFY2(type >= 1 && type <= 14, qPrintable(model));
            QCOMPARE(c.model.isDoubleSided(), type != 11);
            QCOMPARE(embosser.holds(Predicate::DoubleSided), type != 11);
            QCOMPARE(embosser.holds(Predicate::Feeder), feed == int(lcm::FeedType::SheetFeeder));
            QCOMPARE(embosser.holds(Predicate::TractorFeed), feed == int(lcm::FeedType::Tractor));
            QCOMPARE(embosser.holds(Predicate::MultipleHeadsPerPage), embosser.numberOfSlaves() > 1);
            QCOMPARE(
                embosser.holds(Predicate::Nox), embosser.holds(Predicate::Mirela) || embosser.holds(Predicate::Darvo));
            QVERIFY2(c.settings.isPaperValid(lcm::Region::Europe, "A4"), qPrintable(model));
        }
    }

    // An unknown model answers every failure value; its type 0, like a code beyond the bit set,
    // belongs to no family and holds only the predicates that hold for all but some types.
    void anUnknownModelAnswersEveryFailureValue()
    {
        LogCapture log;
        const ModelPaper m("Corvane Nonesuch", m_file);
        const Embosser embosser(m);
        QCOMPARE(QList<double>({ m.getMinWidth(), m.getMaxWidth(), m.getMinHeight(), m.getMaxHeight() }),
            QList<double>({ -1.0, -1.0, -1.0, -1.0 }));
        QCOMPARE(QList<int>({ m.getEmbosserType(), m.getFeedType(), m.getHeadType(), m.getModelMask(),
                     m.getPaperDirection() }),
            QList<int>({ 0, 0, 0, 0, -1 }));
        QVERIFY(log.contains("does not contain entry for Corvane Nonesuch"));
        QStringList holding;
        for (const Predicate predicate : ModelPredicates::all()) {
            if (embosser.holds(predicate)) {
                holding << ModelPredicates::name(predicate);
            }
            QCOMPARE(ModelPredicates::holds(predicate, 40, 40), embosser.holds(predicate));
        }
        QCOMPARE(holding, QStringList({ "isDoubleSided", "isUserPaperCompatible" }));
        QCOMPARE(embosser.numberOfSlaves(), 1);
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
        for (const QString& name : names) {
            QVERIFY(m_root->writeFile(stateDir + '/' + name, "{}"));
        }
        const Catalogue c(zentra, m_file);
        QCOMPARE(c.settings.getUserPaperNumbers(), numbers);
        QCOMPARE(c.settings.getUserPaperCount(), numbers.size());
        QTEST(c.settings.getUserPaperValues().value(ls::paperNrKey).toInt(), "free");
        for (const QString& name : names) {
            QFile::remove(m_root->file(stateDir + '/' + name));
        }
    }

    // A new paper takes the first number nothing in the directory claims; a number whose own file
    // is missing is left out of the full listing.
    void aNewUserPaperTakesTheFirstFreeNumber()
    {
        fillUserPapers({ 1, 2, 4 });
        QVERIFY(QFile::copy(userPaperPath(4), userPaperPath(5) + ".bak"));
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
        QCOMPARE(third.value("paperDescription").toString(), QString("User_defined_3"));
        QVERIFY(c.settings.writeUserPaper(request(150.0, 200.0), n));
        QCOMPARE(n, 6);
        QCOMPARE(c.settings.readAllUserPapers().keys(), QStringList({ "1", "2", "3", "4", "6" }));
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
        QCOMPARE(log.count("invalid paper number!"), 2);
        QVERIFY(!c.settings.deleteUserPaper(100));
        QVERIFY(c.settings.deleteUserPaper(99));
        QVERIFY(!c.settings.deleteUserPaper(99));
    }

    // Every check comes before the write. The Tormel takes 101.6..330.2 mm by 76.2..355.6 mm.
    void onlyAcceptableRequestsAreWritten_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("message");
        const QString bounds = "is outside the embosser paper bounds.";
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
            << request(200.0, 200.0, "Milimeters", 7) << "conversion to Orientation enum value failed!";
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
        QVERIFY(c.settings.writeUserPaper(request(210.0, 297.0, "Milimeters", "Landscape"), n));
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
        for (const PaperEntity& paper :
            { c.papers.toEntity("User_defined_7"), c.settings.getPaperEntity("User_defined_7") }) {
            QVERIFY(paper.isValid() && paper.isUserPaper());
            QCOMPARE(QList<double>({ paper.getWidth(), paper.getHeight() }), QList<double>({ 210.0, 297.0 }));
            QCOMPARE(QList<int>({ paper.getInchesWidth(), paper.getInchesHeight(), paper.getStepLength(),
                         paper.getFormatOrientation(), paper.getLoadOrientation(), paper.getModelMask() }),
                QList<int>({ 81, 114, 583, int(lcm::Orientation::Landscape), int(lcm::Orientation::Portrait), 255 }));
            QCOMPARE(paper.getSizeUnitText(), ls::milimetersKey);
        }
        QVERIFY(c.settings.writeUserPaper(request(215.9, 279.4, "Inches"), n));
        QCOMPARE(c.settings.readUserPaper(n).value(ls::sizeUnitKey).toString(), ls::inchesKey);
    }

    // A user paper whose orientations do not convert, a number without a file, a name in neither
    // list, and a standard record with any one field that does not convert give an invalid entity;
    // an invalid user paper is refused before the user paper shortcut of the validity rules.
    void unknownOrBrokenPapersGiveAnInvalidEntity()
    {
        fillUserPapers({ 1 });
        QVariantMap record;
        QVERIFY(m_file.readToMap(userPaperPath(1), record));
        record.insert("iFormatOrientation", 9);
        record.insert("iPaperLoadOrientation", "sideways");
        QVERIFY(m_file.writeFromMap(QString(), userPaperPath(1), record));
        const Catalogue c(zentra, m_file);
        for (const char* name : { "User_defined_1", "User_defined_8", "Folio" }) {
            QVERIFY2(!c.papers.toEntity(name).isValid() && !c.settings.getPaperEntity(name).isValid(), name);
        }
        QVERIFY(!c.settings.isPaperValid(lcm::Region::Europe, "User_defined_1"));

        const QVariantMap a4 = c.papers.getPaperList().value("A4").toMap();
        for (const QString& key :
            QStringList { ls::widthKey, ls::inchesWidthKey, "eFormatOrientation", "eModelMask", ls::eFeedTypeKey }) {
            QVariantMap broken = a4;
            broken.insert(key, "8 1/4");
            PaperEntity entity("A4");
            QVERIFY2(!entity.load(broken) && !entity.isValid(), qPrintable(key));
            QCOMPARE(entity.getFeedType(), 0);
            QCOMPARE(entity.getModelMask(), -1);
        }
    }

    void paperValidityRules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("region");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* model, lcm::Region region, const char* paper, bool valid, const char* message) {
            QTest::addRow("%s, %s, region %d", paper, model, int(region)) << "Corvane "
                    + QString(model) << int(region) << paper << valid << QString(message).replace("%1", paper);
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
        QFETCH(QString, message);
        fillUserPapers({ 1 });
        // A copy of A4 that needs tractor feed: only the feed type can refuse it.
        const QString paperList = m_root->file(dataDir + "/paperList.json");
        QVariantMap papers;
        QVERIFY(m_file.readToMap(paperList, papers));
        QVariantMap tractorA4 = papers.value("A4").toMap();
        tractorA4.insert(ls::eFeedTypeKey, "Tractor");
        papers.insert("Tractor A4", tractorA4);
        QVERIFY(m_file.writeFromMap(QString(), paperList, papers));
        const Catalogue c(model, m_file);
        LogCapture log;
        QTEST(c.settings.isPaperValid(static_cast<lcm::Region>(region), paper), "valid");
        QVERIFY2(log.contains(message), qPrintable(message));
    }

    // Each catalogue file is restored from its backup; without a usable backup the catalogue stays
    // empty. A region's default is the first of its list.
    void aCorruptCatalogueIsRestoredFromItsBackup()
    {
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->writeFile(dataDir + '/' + name, "{ \"A4\": "));
        }
        const Catalogue c(zentra, m_file);
        for (const QString& name : catalogueFiles) {
            QCOMPARE(m_root->readFile(dataDir + '/' + name), m_root->readFile(dataDir + "/backup/" + name));
        }
        QCOMPARE(c.model.getEmbosserType(), int(lcm::EmbosserType::Zentra));
        QVERIFY(c.papers.toEntity("A4").isValid());
        QCOMPARE(c.regions.getPaper(lcm::Region::Europe), QString("A4"));
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->writeFile(dataDir + '/' + name, "not json"));
            QVERIFY(QFile::remove(m_root->file(dataDir + "/backup/" + name)));
        }
        LogCapture log;
        const Catalogue empty(zentra, m_file);
        for (const char* loader : { "ModelPaper", "PaperList", "PaperRegion" }) {
            QVERIFY(log.contains(QString(loader) + "::load CRITICAL: Restore failed!"));
        }
        QVERIFY(!empty.settings.isPaperValid(lcm::Region::World, "A4"));
        QVERIFY(empty.regions.getPaper(lcm::Region::Europe).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPaper)
#include "tst_paper.moc"
