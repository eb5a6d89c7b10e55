// The paper catalogue and user papers on the shipped data: the model predicates for every type
// code, user paper numbering and bounds, the order of the paper validity rules, paper names
// resolved to entities, and the load-and-restore rule of the three catalogue files.
#include "LogCapture.h"
#include "TestRoot.h"

#include "document/Embosser.h"
#include "lcm/EnumDetail.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"
#include "paper/ModelPredicates.h"
#include "paper/PaperEntity.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "paper/UserPaperFile.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QTest>

#include <memory>

namespace {
const QString stateDir = QStringLiteral("/var/lib/embosser");
const QString dataDir = QStringLiteral("/usr/share/configuration-manager");
const QString embosserListFile = dataDir + QStringLiteral("/embosserList.json");
const QString paperListFile = dataDir + QStringLiteral("/paperList.json");
const QString paperRegionsFile = dataDir + QStringLiteral("/paperRegions.json");
const QStringList catalogueFiles
    = { QStringLiteral("embosserList.json"), QStringLiteral("paperList.json"), QStringLiteral("paperRegions.json") };

const QString zentra = QStringLiteral("Corvane Zentra");
const QString tormel = QStringLiteral("Corvane Tormel-D V4");
const QString alvero = QStringLiteral("Corvane Alvero-D V4");
const QString varnex = QStringLiteral("Corvane Varnex V5");

// Every query of the model description, by the name the direct methods use.
const QStringList predicateNames = { QStringLiteral("isTormel"), QStringLiteral("isAlvero"), QStringLiteral("isVarnex"),
    QStringLiteral("isPlisto"), QStringLiteral("isPlistoPlus"), QStringLiteral("isMirela"), QStringLiteral("isDarvo"),
    QStringLiteral("isKeltrix"), QStringLiteral("isNox"), QStringLiteral("isTormelNox"), QStringLiteral("isUlk"),
    QStringLiteral("isZentra"), QStringLiteral("hasBooklet"), QStringLiteral("hasMultipleHeadsPerPage"),
    QStringLiteral("isDoubleSided"), QStringLiteral("hasFeeder"), QStringLiteral("hasTractorFeed"),
    QStringLiteral("isUserPaperCompatible"), QStringLiteral("isUserPaperImperial") };

QVariantMap userPaperRequest(const QVariant& width, const QVariant& height,
    const QString& unit = QStringLiteral("Milimeters"), const QVariant& orientation = 0)
{
    return { { ls::sizeUnitKey, unit }, { ls::widthKey, width }, { ls::heightKey, height },
        { ls::formatOrientationKey, orientation } };
}
} // namespace

class TestPaper : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;

    // The catalogue as start-up builds it for one model.
    struct Catalogue {
        std::unique_ptr<ModelPaper> model;
        std::unique_ptr<PaperList> papers;
        std::unique_ptr<PaperRegion> regions;
        std::unique_ptr<PaperSettings> settings;
    };

    Catalogue build(const QString& model = zentra) const
    {
        Catalogue catalogue;
        catalogue.model = std::make_unique<ModelPaper>(model, m_file);
        catalogue.papers = std::make_unique<PaperList>(m_file);
        catalogue.regions = std::make_unique<PaperRegion>(m_file);
        catalogue.settings = std::make_unique<PaperSettings>(*catalogue.model, *catalogue.papers, *catalogue.regions);
        return catalogue;
    }

    QStringList modelNames() const
    {
        QVariantMap models;
        m_file.readToMap(m_root->file(embosserListFile), models);
        return models.keys();
    }

    QString userPaperPath(int n) const { return m_root->file(stateDir + QStringLiteral("/userpaper.%1").arg(n)); }

    QStringList userPaperFiles() const
    {
        return QDir(m_root->file(stateDir)).entryList({ QStringLiteral("userpaper.*") }, QDir::Files, QDir::Name);
    }

    // Copies one written user paper to the given numbers, as if the user had made them all.
    void fillUserPapers(const QList<int>& numbers) const
    {
        const Catalogue catalogue = build();
        int first = -1;
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(210.0, 297.0), first));
        for (const int n : numbers) {
            if (n != first) {
                QVERIFY(QFile::copy(userPaperPath(first), userPaperPath(n)));
            }
        }
        if (!numbers.contains(first)) {
            QVERIFY(QFile::remove(userPaperPath(first)));
        }
    }

    static bool invokePredicate(const Embosser& embosser, const QString& name, bool& result)
    {
        return QMetaObject::invokeMethod(
            const_cast<Embosser*>(&embosser), name.toLatin1().constData(), Q_RETURN_ARG(bool, result));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // Restores succeed at info level and the validity answers are debug lines: below the
        // categories' threshold unless switched on.
        QLoggingCategory::setFilterRules(QStringLiteral("ModelPaper.info=true\nPaperList.info=true\n"
                                                        "PaperRegion.info=true\nPaperSettings.debug=true\n"
                                                        "PaperSettings.info=true"));
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

    // --- Model predicates ---

    void predicatesFollowTheTypeCode_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("holding");
        QTest::addColumn<int>("slaves");

        const auto row = [](int type, const char* model, const char* holding, int slaves) {
            QTest::addRow("%d %s", type, model)
                << QString::fromLatin1(model) << type << QString::fromLatin1(holding).split(QLatin1Char(' ')) << slaves;
        };
        row(1, "Corvane Tormel-D V4",
            "isTormel isTormelNox hasTractorFeed isDoubleSided isUserPaperCompatible isUserPaperImperial", 1);
        row(2, "Corvane Tormel-D V5",
            "isTormel isTormelNox hasTractorFeed isDoubleSided isUserPaperCompatible isUserPaperImperial", 1);
        row(3, "Corvane Alvero-D V4", "isAlvero hasBooklet hasFeeder isDoubleSided isUserPaperCompatible", 1);
        row(4, "Corvane Alvero-D V5", "isAlvero hasBooklet hasFeeder isDoubleSided isUserPaperCompatible", 1);
        row(5, "Corvane Orvik", "isDoubleSided", 1);
        row(6, "Corvane Varnex V5", "isVarnex hasBooklet hasMultipleHeadsPerPage hasFeeder isDoubleSided", 3);
        row(7, "Corvane Plisto-D",
            "isPlisto hasMultipleHeadsPerPage hasTractorFeed isDoubleSided isUserPaperCompatible isUserPaperImperial",
            3);
        row(8, "Corvane Zentra", "isZentra isDoubleSided isUserPaperCompatible", 1);
        row(9, "Corvane Keltrix", "isTormel isKeltrix isTormelNox hasTractorFeed isDoubleSided isUserPaperCompatible",
            1);
        row(10, "Corvane Mirela", "isMirela isNox isTormelNox hasTractorFeed isDoubleSided isUserPaperCompatible", 1);
        row(11, "Corvane Darvo", "isDarvo isNox isTormelNox hasTractorFeed isUserPaperCompatible", 1);
        row(12, "Corvane Zentra V5", "isZentra isDoubleSided isUserPaperCompatible", 1);
        row(13, "Corvane Plisto+",
            "isPlistoPlus hasMultipleHeadsPerPage hasTractorFeed isDoubleSided isUserPaperCompatible "
            "isUserPaperImperial",
            6);
        row(14, "Corvane Ulk", "isUlk isDoubleSided isUserPaperCompatible", 1);
    }

    void predicatesFollowTheTypeCode()
    {
        QFETCH(QString, model);
        QFETCH(int, type);
        QFETCH(QStringList, holding);
        QFETCH(int, slaves);

        const ModelPaper modelPaper(model, m_file);
        const Embosser embosser(modelPaper);
        QCOMPARE(embosser.getType(), type);
        QCOMPARE(embosser.numberOfSlaves(), slaves);
        QCOMPARE(modelPaper.isDoubleSided(), holding.contains(QStringLiteral("isDoubleSided")));
        for (const QString& name : predicateNames) {
            bool result = false;
            QVERIFY2(invokePredicate(embosser, name, result), qPrintable(name));
            QVERIFY2(result == holding.contains(name), qPrintable(name));
        }
    }

    void everyPredicateIsAQueryOfTheModelDescription()
    {
        const QVector<ModelPredicates::Predicate> predicates = ModelPredicates::all();
        QStringList names;
        for (const ModelPredicates::Predicate predicate : predicates) {
            names.append(ModelPredicates::name(predicate));
        }
        QCOMPARE(names, predicateNames);
    }

    void codesOutsideTheFamiliesHoldOnlyTheExceptions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("feed");
        QTest::newRow("no model") << 0 << 0;
        QTest::newRow("unknown codes") << 15 << 5;
        QTest::newRow("negative codes") << -1 << -1;
        QTest::newRow("codes beyond the bit set") << 40 << 40;
    }

    void codesOutsideTheFamiliesHoldOnlyTheExceptions()
    {
        QFETCH(int, type);
        QFETCH(int, feed);
        const QVector<ModelPredicates::Predicate> predicates = ModelPredicates::all();
        for (const ModelPredicates::Predicate predicate : predicates) {
            const QString name = ModelPredicates::name(predicate);
            const bool expected
                = name == QLatin1String("isDoubleSided") || name == QLatin1String("isUserPaperCompatible");
            QVERIFY2(ModelPredicates::holds(predicate, type, feed) == expected, qPrintable(name));
        }
        QCOMPARE(ModelPredicates::numberOfSlaves(type), 1);
    }

    void modelValuesComeFromTheEmbosserList()
    {
        const ModelPaper modelPaper(tormel, m_file);
        const Embosser embosser(modelPaper);
        QCOMPARE(embosser.getFeedType(), int(lcm::FeedType::Tractor));
        QCOMPARE(embosser.getHeadType(), int(lcm::HeadType::TwoSided));
        QCOMPARE(embosser.getModelMask(), int(lcm::ModelMask::Tormel));
        QCOMPARE(embosser.getMaskValue(), int(lcm::ModelMask::Tormel));
        QCOMPARE(embosser.getPaperDirection(), 1);
        QCOMPARE(embosser.getMinWidth(), 101.6);
        QCOMPARE(embosser.getMaxWidth(), 330.2);
        QCOMPARE(embosser.getMinHeight(), 76.2);
        QCOMPARE(embosser.getMaxHeight(), 355.6);
        QCOMPARE(embosser.getPnpCid(), QStringLiteral("CORVANE_TD4"));
        QCOMPARE(embosser.getShortID(), QStringLiteral("TD4"));
        QCOMPARE(modelPaper.getData().value(ls::manufacturerKey).toString(), QStringLiteral("Corvane Braille AB"));
    }

    void anUnknownModelAnswersEveryFailureValue()
    {
        LogCapture log;
        const ModelPaper modelPaper(QStringLiteral("Corvane Nonesuch"), m_file);
        QVERIFY(log.contains(QStringLiteral("does not contain entry for Corvane Nonesuch")));
        QVERIFY(modelPaper.getData().isEmpty());
        QCOMPARE(modelPaper.getMinWidth(), -1.0);
        QCOMPARE(modelPaper.getMaxWidth(), -1.0);
        QCOMPARE(modelPaper.getMinHeight(), -1.0);
        QCOMPARE(modelPaper.getMaxHeight(), -1.0);
        QCOMPARE(modelPaper.getPaperDirection(), -1);
        QVERIFY(modelPaper.getPnpCid().isEmpty());
        QVERIFY(log.contains(QStringLiteral("ModelPaper::getMinWidth ERROR:")));
        QVERIFY(log.contains(QStringLiteral("conversion to double failed!")));
        QVERIFY(log.contains(QStringLiteral("ModelPaper::getPaperDirection ERROR:")));

        log.clear();
        const Embosser embosser(modelPaper);
        QCOMPARE(embosser.getType(), 0);
        QVERIFY(log.contains(QStringLiteral("ModelPaper::getEmbosserType ERROR:")));
        QVERIFY(log.contains(QStringLiteral("conversion to EmbosserType enum value failed!")));
        QCOMPARE(embosser.getFeedType(), 0);
        QVERIFY(log.contains(QStringLiteral("conversion to FeedType enum value failed!")));
        QCOMPARE(embosser.getHeadType(), 0);
        QVERIFY(log.contains(QStringLiteral("conversion to HeadType enum value failed!")));
        QCOMPARE(embosser.getModelMask(), 0);
        QVERIFY(log.contains(QStringLiteral("conversion to ModelMask enum value failed!")));
        QVERIFY(!embosser.isZentra());
        QVERIFY(embosser.isDoubleSided());

        // No size is inside limits of -1.0: nothing can be written.
        PaperList papers(m_file);
        PaperRegion regions(m_file);
        PaperSettings settings(modelPaper, papers, regions);
        int n = 0;
        QVERIFY(!settings.writeUserPaper(userPaperRequest(210.0, 297.0), n));
        QVERIFY(userPaperFiles().isEmpty());
    }

    // --- User papers ---

    void aNewUserPaperTakesTheFirstFreeNumber()
    {
        const Catalogue catalogue = build();
        int n = 0;
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(210.0, 297.0), n));
        QCOMPARE(n, 1);
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(200.0, 250.0), n));
        QCOMPARE(n, 2);
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(150.0, 200.0), n));
        QCOMPARE(n, 3);

        QVariantMap third;
        QVERIFY(m_file.readToMap(userPaperPath(3), third));
        QCOMPARE(third.value(ls::paperSizeKey).toInt(), 75);
        QCOMPARE(third.value(QStringLiteral("paperDescription")).toString(), QStringLiteral("User_defined_3"));

        // A gap is filled before the numbers go on.
        QVERIFY(catalogue.settings->deleteUserPaper(2));
        QCOMPARE(catalogue.settings->getUserPaperNumbers(), QList<int>({ 1, 3 }));
        QCOMPARE(catalogue.settings->findFreeUserPaperNumber(), 2);
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(150.0, 200.0), n));
        QCOMPARE(n, 2);
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(150.0, 200.0), n));
        QCOMPARE(n, 4);
        QCOMPARE(catalogue.settings->getUserPaperCount(), 4);
    }

    void theNinetyNinthPaperIsTheLast()
    {
        QList<int> numbers;
        for (int k = 1; k <= 98; ++k) {
            numbers.append(k);
        }
        fillUserPapers(numbers);
        const Catalogue catalogue = build();
        QCOMPARE(catalogue.settings->getUserPaperCount(), 98);

        QVariantMap values = catalogue.settings->getUserPaperValues();
        QCOMPARE(values.value(ls::descriptionKey).toString(), QStringLiteral("User_defined_99"));
        int n = 0;
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(210.0, 297.0), n));
        QCOMPARE(n, 99);
        QVariantMap last;
        QVERIFY(m_file.readToMap(userPaperPath(99), last));
        QCOMPARE(last.value(ls::paperSizeKey).toInt(), 171);

        LogCapture log;
        n = -5;
        QVERIFY(!catalogue.settings->writeUserPaper(userPaperRequest(210.0, 297.0), n));
        QCOMPARE(n, -5);
        QVERIFY(log.contains(QStringLiteral("PaperSettings::writeUserPaper ERROR: no free user paper number found.")));
        QVERIFY(!QFile::exists(userPaperPath(100)));
        QCOMPARE(catalogue.settings->findFreeUserPaperNumber(), -1);
        QVERIFY(catalogue.settings->getUserPaperValues().isEmpty());
        QVERIFY(log.contains(QStringLiteral("no free user paper number found!")));
    }

    void onlyNumberedPaperFilesCount()
    {
        fillUserPapers({ 4, 12 });
        for (const char* name : { "userpaper.x", "userpaper.0", "userpaper.100", "userpaper.5.tmp", "userpaper.",
                 "userpaper.-3", "userpaper.07" }) {
            QVERIFY(m_root->writeFile(stateDir + QLatin1Char('/') + QLatin1String(name), "{}"));
        }
        const Catalogue catalogue = build();
        QCOMPARE(catalogue.settings->getUserPaperNumbers(), QList<int>({ 4, 12 }));
        QCOMPARE(catalogue.settings->findFreeUserPaperNumber(), 1);
        QCOMPARE(
            catalogue.settings->readAllUserPapers().keys(), QStringList({ QStringLiteral("12"), QStringLiteral("4") }));
    }

    void aSizeOutsideTheModelIsRefusedBeforeAnyWrite_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("edge");
        for (const QString& model : { zentra, tormel }) {
            for (const char* edge : { "below min width", "above max width", "below min height", "above max height" }) {
                QTest::addRow("%s %s", qPrintable(model), edge) << model << QString::fromLatin1(edge);
            }
        }
    }

    void aSizeOutsideTheModelIsRefusedBeforeAnyWrite()
    {
        QFETCH(QString, model);
        QFETCH(QString, edge);
        const Catalogue catalogue = build(model);
        const ModelPaper& limits = *catalogue.model;
        double width = (limits.getMinWidth() + limits.getMaxWidth()) / 2;
        double height = (limits.getMinHeight() + limits.getMaxHeight()) / 2;
        if (edge == QLatin1String("below min width")) {
            width = limits.getMinWidth() - 0.5;
        } else if (edge == QLatin1String("above max width")) {
            width = limits.getMaxWidth() + 0.5;
        } else if (edge == QLatin1String("below min height")) {
            height = limits.getMinHeight() - 0.5;
        } else {
            height = limits.getMaxHeight() + 0.5;
        }

        LogCapture log;
        int n = 0;
        QVERIFY(!catalogue.settings->writeUserPaper(userPaperRequest(width, height), n));
        QVERIFY(log.contains(QStringLiteral("received paper size")));
        QVERIFY(log.contains(QStringLiteral("is outside the embosser paper bounds.")));
        QVERIFY(userPaperFiles().isEmpty());
    }

    void theLimitsThemselvesAreInside()
    {
        const Catalogue catalogue = build(tormel);
        const ModelPaper& limits = *catalogue.model;
        int n = 0;
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(limits.getMinWidth(), limits.getMinHeight()), n));
        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(limits.getMaxWidth(), limits.getMaxHeight()), n));
        QCOMPARE(n, 2);
    }

    void malformedRequestsWriteNothing_data()
    {
        QTest::addColumn<QVariantMap>("request");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown unit") << userPaperRequest(210.0, 297.0, QStringLiteral("Furlongs"))
                                      << "conversion to SizeUnit enum value failed!";
        QVariantMap noUnit = userPaperRequest(210.0, 297.0);
        noUnit.remove(ls::sizeUnitKey);
        QTest::newRow("no unit") << noUnit << "conversion to SizeUnit enum value failed!";
        QTest::newRow("width not a number")
            << userPaperRequest(QStringLiteral("wide"), 297.0) << "conversion to double failed!";
        QVariantMap noHeight = userPaperRequest(210.0, 297.0);
        noHeight.remove(ls::heightKey);
        QTest::newRow("no height") << noHeight << "conversion to double failed!";
        QTest::newRow("not a number") << userPaperRequest(qQNaN(), 297.0) << "is outside the embosser paper bounds.";
        QTest::newRow("unknown orientation") << userPaperRequest(210.0, 297.0, QStringLiteral("Milimeters"), 7)
                                             << "conversion to Orientation enum value failed!";
    }

    void malformedRequestsWriteNothing()
    {
        QFETCH(QVariantMap, request);
        QFETCH(QString, message);
        const Catalogue catalogue = build();
        LogCapture log;
        int n = 0;
        QVERIFY(!catalogue.settings->writeUserPaper(request, n));
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
        QVERIFY(userPaperFiles().isEmpty());
    }

    void theUserPaperFileHoldsTheWholeRecord()
    {
        const Catalogue catalogue = build();
        int n = 0;
        QVERIFY(catalogue.settings->writeUserPaper(
            userPaperRequest(210.0, 297.0, QStringLiteral("Milimeters"), QStringLiteral("Landscape")), n));
        QVariantMap file;
        QVERIFY(m_file.readToMap(userPaperPath(n), file));
        // 297 mm is 11.69 in: 11 inches and the digit of 2/3; the feed has 50 steps per inch.
        const QVariantMap expected = {
            { QStringLiteral("Paper size"), 73 },
            { QStringLiteral("Paper size unit"), 1 },
            { QStringLiteral("Paper width"), 210.0 },
            { QStringLiteral("Paper length"), 297.0 },
            { QStringLiteral("paperDescription"), QStringLiteral("User_defined_1") },
            { QStringLiteral("validToUse"), 1 },
            { QStringLiteral("iInchesWidth"), 81 },
            { QStringLiteral("iInchesLen"), 114 },
            { QStringLiteral("iStepLen"), 583 },
            { QStringLiteral("stepLenFraction"), 0 },
            { QStringLiteral("flPrintingHeadOffset"), 0.0 },
            { QStringLiteral("iFormatOrientation"), 1 },
            { QStringLiteral("iPaperLoadOrientation"), 0 },
            { QStringLiteral("iModels"), 255 },
            { QStringLiteral("iFeedType"), 0 },
        };
        QCOMPARE(file.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(file.value(it.key()).toString() == it.value().toString(),
                qPrintable(it.key() + QLatin1Char(' ') + file.value(it.key()).toString()));
        }

        const QVariantMap read = catalogue.settings->readUserPaper(1);
        QCOMPARE(read.value(ls::descriptionKey).toString(), QStringLiteral("User_defined_1"));
        QCOMPARE(read.value(ls::paperNrKey).toInt(), 1);
        QCOMPARE(read.value(ls::sizeUnitKey).toString(), ls::milimetersKey);
        QCOMPARE(read.value(ls::widthKey).toDouble(), 210.0);
        QCOMPARE(read.value(ls::heightKey).toDouble(), 297.0);
        QCOMPARE(read.value(ls::formatOrientationKey).toInt(), 1);
        QCOMPARE(read.value(ls::inchesWidthKey).toInt(), 81);
        QCOMPARE(read.value(ls::inchesHeightKey).toInt(), 114);
        QCOMPARE(catalogue.settings->readAllUserPapers(), QVariantMap({ { QStringLiteral("1"), read } }));

        QVERIFY(catalogue.settings->writeUserPaper(userPaperRequest(215.9, 279.4, QStringLiteral("Inches")), n));
        QCOMPARE(catalogue.settings->readUserPaper(n).value(ls::sizeUnitKey).toString(), ls::inchesKey);
    }

    void readingAndDeletingCheckTheNumber()
    {
        fillUserPapers({ 3 });
        const Catalogue catalogue = build();
        LogCapture log;
        QVERIFY(catalogue.settings->readUserPaper(0).isEmpty());
        QVERIFY(catalogue.settings->readUserPaper(100).isEmpty());
        QCOMPARE(log.count(QStringLiteral("invalid paper number!")), 2);
        QVERIFY(catalogue.settings->readUserPaper(4).isEmpty());

        QVERIFY(!catalogue.settings->deleteUserPaper(100));
        QVERIFY(log.contains(QStringLiteral("invalid user paper nr. received.")));
        QVERIFY(!catalogue.settings->deleteUserPaper(0));
        QVERIFY(!catalogue.settings->deleteUserPaper(5));
        QVERIFY(log.contains(QStringLiteral("user paper does not exist.")));
        QCOMPARE(userPaperFiles(), QStringList({ QStringLiteral("userpaper.3") }));

        QVERIFY(catalogue.settings->deleteUserPaper(3));
        QVERIFY(userPaperFiles().isEmpty());
    }

    void userPaperValuesOfferTheNextPaperInTheModelsUnit_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("unit");
        QTest::newRow("metric model") << zentra << ls::milimetersKey;
        QTest::newRow("imperial model") << tormel << ls::inchesKey;
    }

    void userPaperValuesOfferTheNextPaperInTheModelsUnit()
    {
        QFETCH(QString, model);
        QFETCH(QString, unit);
        fillUserPapers({ 1 });
        const Catalogue catalogue = build(model);
        const QVariantMap values = catalogue.settings->getUserPaperValues();
        QCOMPARE(values.value(ls::descriptionKey).toString(), QStringLiteral("User_defined_2"));
        QCOMPARE(values.value(ls::paperNrKey).toInt(), 2);
        QCOMPARE(values.value(ls::sizeUnitKey).toString(), unit);
        QCOMPARE(values.value(ls::minPaperWidthKey).toDouble(), catalogue.model->getMinWidth());
        QCOMPARE(values.value(ls::maxPaperWidthKey).toDouble(), catalogue.model->getMaxWidth());
        QCOMPARE(values.value(ls::minPaperHeightKey).toDouble(), catalogue.model->getMinHeight());
        QCOMPARE(values.value(ls::maxPaperHeightKey).toDouble(), catalogue.model->getMaxHeight());
    }

    // --- Papers by name ---

    void aUserPaperNameReadsItsFile()
    {
        const QVariantMap record = {
            { QStringLiteral("Paper size"), 79 },
            { QStringLiteral("Paper size unit"), 0 },
            { QStringLiteral("Paper width"), 228.6 },
            { QStringLiteral("Paper length"), 304.8 },
            { QStringLiteral("paperDescription"), QStringLiteral("User_defined_7") },
            { QStringLiteral("validToUse"), 1 },
            { QStringLiteral("iInchesWidth"), 90 },
            { QStringLiteral("iInchesLen"), 120 },
            { QStringLiteral("iStepLen"), 600 },
            { QStringLiteral("stepLenFraction"), 0 },
            { QStringLiteral("flPrintingHeadOffset"), 0.0 },
            { QStringLiteral("iFormatOrientation"), 1 },
            { QStringLiteral("iPaperLoadOrientation"), 0 },
            { QStringLiteral("iModels"), 255 },
            { QStringLiteral("iFeedType"), 0 },
        };
        QVERIFY(m_file.writeFromMap(QString(), userPaperPath(7), record));
        const Catalogue catalogue = build();

        for (const PaperEntity& paper : { catalogue.papers->toEntity(QStringLiteral("User_defined_7")),
                 catalogue.settings->getPaperEntity(QStringLiteral("User_defined_7")) }) {
            QVERIFY(paper.isValid());
            QVERIFY(paper.isUserPaper());
            QCOMPARE(paper.getName(), QStringLiteral("User_defined_7"));
            QCOMPARE(paper.getWidth(), 228.6);
            QCOMPARE(paper.getHeight(), 304.8);
            QCOMPARE(paper.getInchesWidth(), 90);
            QCOMPARE(paper.getInchesHeight(), 120);
            QCOMPARE(paper.getStepLength(), 600);
            QCOMPARE(paper.getStepLengthFraction(), 0);
            QCOMPARE(paper.getPrintingHeadOffset(), 0.0);
            QCOMPARE(paper.getFormatOrientation(), int(lcm::Orientation::Landscape));
            QCOMPARE(paper.getLoadOrientation(), int(lcm::Orientation::Portrait));
            QCOMPARE(paper.getModelMask(), 255);
            QCOMPARE(paper.getFeedType(), 0);
            QCOMPARE(paper.getSizeUnitText(), ls::inchesKey);
        }

        LogCapture log;
        const PaperEntity missing = catalogue.papers->toEntity(QStringLiteral("User_defined_8"));
        QVERIFY(!missing.isValid());
        QVERIFY(log.contains(QStringLiteral("reading user defined paper 8 failed!")));
        QVERIFY(!catalogue.papers->toEntity(QStringLiteral("User_defined_x")).isValid());
        QVERIFY(!catalogue.papers->toEntity(QStringLiteral("Folio")).isValid());
        QCOMPARE(catalogue.papers->toEntity(QStringLiteral("Folio")).getWidth(), -1.0);

        log.clear();
        QVERIFY(!catalogue.settings->getPaperEntity(QStringLiteral("User_defined_8")).isValid());
        QVERIFY(log.contains(QStringLiteral("paper size User_defined_8 not found => check for user paper.")));
        QVERIFY(log.contains(QStringLiteral("no user paper found")));
        QVERIFY(!catalogue.settings->getPaperEntity(QStringLiteral("Folio")).isValid());
        QVERIFY(log.contains(QStringLiteral("Folio is not a user paper")));
    }

    void aBrokenUserPaperFileGivesAnInvalidEntity_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("format orientation")
            << "iFormatOrientation" << QVariant(9) << "format orientation conversion to enum value failed!";
        QTest::newRow("load orientation") << "iPaperLoadOrientation" << QVariant(QStringLiteral("sideways"))
                                          << "load orientation conversion to enum value failed!";
        QTest::newRow("width") << "Paper width" << QVariant(QStringLiteral("wide")) << "conversion to double failed!";
        QTest::newRow("steps") << "iStepLen" << QVariant(QStringLiteral("many")) << "conversion to int failed!";
    }

    void aBrokenUserPaperFileGivesAnInvalidEntity()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        fillUserPapers({ 1 });
        QVariantMap record;
        QVERIFY(m_file.readToMap(userPaperPath(1), record));
        record.insert(key, value);
        QVERIFY(m_file.writeFromMap(QString(), userPaperPath(1), record));

        const Catalogue catalogue = build();
        LogCapture log;
        const PaperEntity paper = catalogue.settings->getPaperEntity(QStringLiteral("User_defined_1"));
        QVERIFY(!paper.isValid());
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
        QVERIFY(!catalogue.settings->isPaperValid(lcm::Region::Europe, QStringLiteral("User_defined_1")));
    }

    void aPaperRecordFieldThatDoesNotConvertInvalidatesTheEntity_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("width") << ls::widthKey << QVariant(QStringLiteral("a4"))
                               << "width conversion to double failed!";
        QTest::newRow("height missing") << ls::heightKey << QVariant() << "height conversion to double failed!";
        QTest::newRow("inches") << ls::inchesWidthKey << QVariant(QStringLiteral("8 1/4"))
                                << "inchesWidth conversion to int failed!";
        QTest::newRow("orientation") << "eFormatOrientation" << QVariant(QStringLiteral("Upright"))
                                     << "conversion to Orientation enum value failed!";
        QTest::newRow("model mask") << "eModelMask" << QVariant(QStringLiteral("Everything"))
                                    << "conversion to ModelMask enum value failed!";
        QTest::newRow("feed type") << ls::eFeedTypeKey << QVariant(QStringLiteral("Conveyor"))
                                   << "conversion to FeedType enum value failed!";
    }

    void aPaperRecordFieldThatDoesNotConvertInvalidatesTheEntity()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        const Catalogue catalogue = build();
        QVariantMap record = catalogue.papers->getPaperList().value(QStringLiteral("A4")).toMap();
        PaperEntity shipped(QStringLiteral("A4"));
        QVERIFY(shipped.load(record));
        QCOMPARE(shipped.getFeedType(), int(lcm::FeedType::Any));
        QCOMPARE(shipped.getModelMask(), int(lcm::ModelMask::All));

        if (value.isValid()) {
            record.insert(key, value);
        } else {
            record.remove(key);
        }
        LogCapture log;
        PaperEntity broken(QStringLiteral("A4"));
        QVERIFY(!broken.load(record));
        QVERIFY(!broken.isValid());
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
        QCOMPARE(broken.getFeedType(), 0);
        QCOMPARE(broken.getModelMask(), -1);
    }

    void aPaperOfTheListIsDescribedByItsRecord()
    {
        const Catalogue catalogue = build();
        const PaperEntity letter = catalogue.papers->toEntity(QStringLiteral("Letter"));
        QVERIFY(letter.isValid());
        QVERIFY(!letter.isUserPaper());
        QCOMPARE(letter.getWidth(), 215.9);
        QCOMPARE(letter.getHeight(), 279.4);
        QCOMPARE(letter.getInchesWidth(), 83);
        QCOMPARE(letter.getInchesHeight(), 110);
        QCOMPARE(letter.getStepLength(), 558);
        QCOMPARE(letter.getStepLengthFraction(), 8);
        QCOMPARE(letter.getSizeUnitText(), ls::inchesKey);
        QCOMPARE(catalogue.papers->toEntity(QStringLiteral("A4")).getSizeUnitText(), ls::milimetersKey);
        QCOMPARE(catalogue.papers->toEntity(QStringLiteral("12 x 11 inch")).getFeedType(), int(lcm::FeedType::Tractor));
        QCOMPARE(catalogue.papers->toEntity(QStringLiteral("12 x 11 inch")).getModelMask(),
            int(lcm::ModelMask::TractorModels));
    }

    void everyStandardPaperFitsSomeModel()
    {
        const QStringList models = modelNames();
        QCOMPARE(models.size(), 14);
        const PaperList papers(m_file);
        const PaperRegion regions(m_file);
        QVERIFY(!papers.getPaperNames().isEmpty());
        for (const QString& name : papers.getPaperNames()) {
            const PaperEntity paper = papers.toEntity(name);
            QVERIFY2(paper.isValid(), qPrintable(name));
            QVERIFY2(paper.getWidth() > 0 && paper.getHeight() > 0, qPrintable(name));
            bool fits = false;
            for (const QString& model : models) {
                const ModelPaper modelPaper(model, m_file);
                const PaperSettings settings(modelPaper, papers, regions);
                fits = fits
                    || (settings.isPaperValid(lcm::Region::World, name) && modelPaper.getMinWidth() <= paper.getWidth()
                        && paper.getWidth() <= modelPaper.getMaxWidth()
                        && modelPaper.getMinHeight() <= paper.getHeight()
                        && paper.getHeight() <= modelPaper.getMaxHeight());
            }
            QVERIFY2(fits, qPrintable(name));
        }
    }

    // --- Paper validity ---

    void paperValidityRules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("region");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("message");

        const int europe = int(lcm::Region::Europe);
        const int japan = int(lcm::Region::Japan);
        const int world = int(lcm::Region::World);
        const int undefined = int(lcm::Region::Undefined);
        // The placeholder paper is in no region's list.
        QTest::newRow("region checked") << zentra << europe << "paperSizeCustom" << false
                                        << "Invalid paper region for paperSizeCustom";
        QTest::newRow("World skips the region")
            << zentra << world << "paperSizeCustom" << true << "paperSizeCustom is valid.";
        QTest::newRow("Undefined skips the region")
            << zentra << undefined << "paperSizeCustom" << true << "paperSizeCustom is valid.";
        QTest::newRow("region outside the enumeration") << zentra << 42 << "A4" << false << "invalid region!";
        QTest::newRow("region before feed")
            << zentra << japan << "12 x 11 inch" << false << "Invalid paper region for 12 x 11 inch";
        QTest::newRow("tractor paper on a manual sheet model")
            << zentra << world << "12 x 11 inch" << false << "12 x 11 inch is not valid.";
        QTest::newRow("tractor paper on a tractor model")
            << tormel << world << "12 x 11 inch" << true << "12 x 11 inch is valid.";
        // Feed type Any: only the masks decide.
        QTest::newRow("A3 on an Alvero") << alvero << europe << "A3" << true << "A3 is valid.";
        QTest::newRow("A3 on a Varnex") << varnex << europe << "A3" << true << "A3 is valid.";
        QTest::newRow("A3 on a Zentra") << zentra << europe << "A3" << false << "A3 is not valid.";
        QTest::newRow("sheet paper on a Zentra")
            << zentra << japan << "Japanese 191 x 270 mm" << true << "Japanese 191 x 270 mm is valid.";
        QTest::newRow("sheet paper on a Tormel")
            << tormel << japan << "Japanese 191 x 270 mm" << false << "Japanese 191 x 270 mm is not valid.";
        QTest::newRow("unknown paper") << zentra << world << "Folio" << false << "Invalid paper entity for Folio";
    }

    void paperValidityRules()
    {
        QFETCH(QString, model);
        QFETCH(int, region);
        QFETCH(QString, paper);
        QFETCH(bool, valid);
        QFETCH(QString, message);
        const Catalogue catalogue = build(model);
        LogCapture log;
        QCOMPARE(catalogue.settings->isPaperValid(static_cast<lcm::Region>(region), paper), valid);
        QVERIFY2(log.contains(message), qPrintable(log.messages().join(QLatin1Char('\n'))));
    }

    void aUserPaperIsValidInEveryRegionBeforeTheRegionIsAsked()
    {
        fillUserPapers({ 1 });
        const Catalogue catalogue = build(varnex);
        const QMetaEnum regions = lcm::EnumDetail::metaEnum("Region");
        for (int i = 0; i < regions.keyCount(); ++i) {
            LogCapture log;
            QVERIFY(catalogue.settings->isPaperValid(
                static_cast<lcm::Region>(regions.value(i)), QStringLiteral("User_defined_1")));
            QVERIFY(log.contains(QStringLiteral("User paper User_defined_1 is valid!")));
            QVERIFY(!log.contains(QStringLiteral("Invalid paper region")));
        }
        LogCapture log;
        QVERIFY(catalogue.settings->isPaperValid(static_cast<lcm::Region>(42), QStringLiteral("User_defined_1")));
        QVERIFY(!log.contains(QStringLiteral("invalid region!")));
    }

    void aPaperOfFeedTypeAnyFitsEveryModel()
    {
        const PaperList papers(m_file);
        const PaperRegion regions(m_file);
        for (const QString& model : modelNames()) {
            const ModelPaper modelPaper(model, m_file);
            const PaperSettings settings(modelPaper, papers, regions);
            QVERIFY2(settings.isPaperValid(lcm::Region::Europe, QStringLiteral("A4")), qPrintable(model));
        }
    }

    // --- Regions ---

    void eachRegionsDefaultIsTheFirstOfItsList()
    {
        const PaperRegion regions(m_file);
        QCOMPARE(regions.getPaper(lcm::Region::Europe), QStringLiteral("A4"));
        QCOMPARE(regions.getPaper(lcm::Region::Us), QStringLiteral("11.5 x 11 inch"));
        const QMetaEnum metaEnum = lcm::EnumDetail::metaEnum("Region");
        for (int i = 0; i < metaEnum.keyCount(); ++i) {
            const auto region = static_cast<lcm::Region>(metaEnum.value(i));
            const QStringList list = regions.getRegions().value(QLatin1String(metaEnum.key(i))).toStringList();
            QVERIFY2(!list.isEmpty(), metaEnum.key(i));
            QCOMPARE(regions.getPaper(region), list.first());
            QVERIFY(regions.isValid(region, list.last()));
        }
        QVERIFY(!regions.isValid(lcm::Region::Us, QStringLiteral("A4")));

        LogCapture log;
        QVERIFY(regions.getPaper(static_cast<lcm::Region>(8)).isEmpty());
        QVERIFY(!regions.isValid(static_cast<lcm::Region>(-1), QStringLiteral("A4")));
        QCOMPARE(log.count(QStringLiteral("invalid region!")), 2);
    }

    // --- Load and restore ---

    void aCorruptCatalogueFileIsRestoredFromItsBackup_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("loader");
        QTest::newRow("model paper") << "embosserList.json"
                                     << "ModelPaper::load";
        QTest::newRow("paper list") << "paperList.json"
                                    << "PaperList::load";
        QTest::newRow("paper regions") << "paperRegions.json"
                                       << "PaperRegion::load";
    }

    void aCorruptCatalogueFileIsRestoredFromItsBackup()
    {
        QFETCH(QString, file);
        QFETCH(QString, loader);
        const QString machinePath = dataDir + QLatin1Char('/') + file;
        QVERIFY(m_root->writeFile(machinePath, "{ \"A4\": "));

        LogCapture log;
        const Catalogue catalogue = build();
        QVERIFY(log.contains(
            QStringLiteral("%1 ERROR: reading %2 failed => try restore.").arg(loader, m_root->file(machinePath))));
        QVERIFY(log.contains(loader + QStringLiteral(" INFO: Restore succeded!")));
        QCOMPARE(m_root->readFile(machinePath), m_root->readFile(dataDir + QStringLiteral("/backup/") + file));
        QCOMPARE(catalogue.model->getEmbosserType(), int(lcm::EmbosserType::Zentra));
        QVERIFY(catalogue.papers->toEntity(QStringLiteral("A4")).isValid());
        QCOMPARE(catalogue.regions->getPaper(lcm::Region::Japan), QStringLiteral("Japanese 191 x 258 mm"));
    }

    void aCatalogueWithoutUsableBackupIsEmpty()
    {
        for (const QString& name : catalogueFiles) {
            QVERIFY(m_root->writeFile(dataDir + QLatin1Char('/') + name, "not json"));
            QVERIFY(QFile::remove(m_root->file(dataDir + QStringLiteral("/backup/") + name)));
        }
        LogCapture log;
        const Catalogue catalogue = build();
        for (const char* loader : { "ModelPaper::load", "PaperList::load", "PaperRegion::load" }) {
            QVERIFY2(log.contains(QLatin1String(loader) + QStringLiteral(" CRITICAL: Restore failed!")), loader);
        }
        QCOMPARE(catalogue.model->getMaxWidth(), -1.0);
        QVERIFY(!catalogue.papers->contains(QStringLiteral("A4")));
        QVERIFY(!catalogue.papers->toEntity(QStringLiteral("A4")).isValid());
        QVERIFY(catalogue.regions->getPaper(lcm::Region::Europe).isEmpty());
        QVERIFY(!catalogue.settings->isPaperValid(lcm::Region::World, QStringLiteral("A4")));
        int n = 0;
        QVERIFY(!catalogue.settings->writeUserPaper(userPaperRequest(210.0, 297.0), n));
        QVERIFY(userPaperFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPaper)
#include "tst_paper.moc"
