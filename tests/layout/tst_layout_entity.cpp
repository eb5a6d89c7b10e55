// The working form of a layout: the page geometry against pages computed by hand (every duplex
// family, both orientation flags, pages that cannot be), the repair chain after a change, the
// migration of an old file, what validate() refuses of what a client can send, and the values
// offered for a parameter on different models.
#include "LogCapture.h"
#include "TestRoot.h"
#include "brailletable/TableSettings.h"
#include "layout/BrlDimension.h"
#include "layout/LayoutCommand.h"
#include "layout/LayoutEntity.h"
#include "layout/ParameterList.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "property/PropValueList.h"

#include <QDir>
#include <QJsonDocument>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>

namespace {
const QString valueListFile = QStringLiteral("/usr/share/configuration-manager/valueList.json");

// The objects that depend on the installed model.
struct Model {
    Model(const QString& name, const ls::IReader& reader, const PaperList& papers, const PaperRegion& regions)
        : modelPaper(name, reader)
        , paperSettings(modelPaper, papers, regions)
        , commands(paperSettings)
    {
    }
    ModelPaper modelPaper;
    PaperSettings paperSettings;
    LayoutCommand commands;
};

QVariantMap with(QVariantMap base, const QVariantMap& changes)
{
    for (auto it = changes.constBegin(); it != changes.constEnd(); ++it) {
        if (it.value().isValid()) {
            base.insert(it.key(), it.value());
        } else {
            base.remove(it.key());
        }
    }
    return base;
}

// The order of the expected geometry of a row.
const QStringList geometryKeys
    = { "Total lines per page", "Maximum possible lines", "Max lines", "Total characters per line", "Max characters",
          "Min top margin", "Max top margin", "Min binding margin", "Max binding margin", "Bottom margin" };
} // namespace

class TestLayoutEntity : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;
    std::unique_ptr<PropValueList> m_values;
    std::unique_ptr<ParameterList> m_parameters;
    std::unique_ptr<BrlDimension> m_dimensions;
    std::unique_ptr<PaperList> m_papers;
    std::unique_ptr<PaperRegion> m_regions;
    std::unique_ptr<TableSettings> m_tables;
    std::map<QString, std::unique_ptr<Model>> m_models;

    LayoutEntity::Context context(const QString& modelName = QStringLiteral("Corvane Zentra"))
    {
        auto& model = m_models[modelName];
        if (!model) {
            model = std::make_unique<Model>(modelName, m_file, *m_papers, *m_regions);
        }
        LayoutEntity::Context context;
        context.parameterList = m_parameters.get();
        context.valueList = m_values.get();
        context.paperSettings = &model->paperSettings;
        context.tableSettings = m_tables.get();
        context.brlDimension = m_dimensions.get();
        context.commands = &model->commands;
        context.creator = QStringLiteral("Zentra-30158");
        return context;
    }

    QVariantMap shippedLayout(int n)
    {
        QVariantMap data;
        m_file.readToMap(m_root->file(QStringLiteral("/var/lib/embosser/layout.%1").arg(n)), data);
        return data;
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // A duplexing entry whose validation command no build knows: it must be skipped.
        QVariantMap lists = QJsonDocument::fromJson(m_root->readFile(valueListFile)).toVariant().toMap();
        QVariantList duplexing = lists.value("Duplexing").toList();
        duplexing.append(QVariantMap { { "description", "Bogus" }, { "intValue", 99 },
            { "eValidateCommand", "NoSuchCommand" }, { "eFeedType", "Any" }, { "eHeadType", "Any" } });
        lists.insert("Duplexing", duplexing);
        QVERIFY(m_root->writeFile(valueListFile, QJsonDocument::fromVariant(lists).toJson()));
        // A user paper given landscape both as page format and as load orientation.
        QVERIFY(m_root->writeFile("/var/lib/embosser/userpaper.1",
            R"({ "Paper size": 73, "Paper size unit": 1, "Paper width": 250.0, "Paper length": 200.0,
                 "paperDescription": "User_defined_1", "validToUse": 1, "iInchesWidth": 94, "iInchesLen": 74,
                 "iStepLen": 400, "stepLenFraction": 0, "flPrintingHeadOffset": 0.0, "iFormatOrientation": 1,
                 "iPaperLoadOrientation": 1, "iModels": 255, "iFeedType": 0 })"));

        m_values = std::make_unique<PropValueList>(m_file);
        m_parameters = std::make_unique<ParameterList>(m_file, m_file);
        m_dimensions = std::make_unique<BrlDimension>(m_file, *m_values);
        m_papers = std::make_unique<PaperList>(m_file);
        m_regions = std::make_unique<PaperRegion>(m_file);
        m_tables = std::make_unique<TableSettings>(&m_file, &m_file);
        QVERIFY(!shippedLayout(1).isEmpty());
    }

    // Layout 1 (A4, double sided, Marburg Medium 6-dot cells, single spacing, first line offset
    // 5 mm, page number at the bottom, 28 lines of 28 characters) with the row's changes. The
    // expected figures follow geometryKeys; an empty list means no page.
    void geometry_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QList<int>>("expected");

        // 297 - 5 = 292 mm at the one-sided pitch of 10 mm (the interline cell's double-sided
        // pitch is 13 mm): 29 lines, one less for the page number; 210 / 6 = 35 characters.
        QTest::newRow("A4, single sided")
            << QVariantMap { { "Duplexing", "Single sided" }, { "Braille cell size", "Interline" } }
            << QList<int> { 29, 29, 28, 35, 35, 0, 1, 0, 7, 1 };
        // (279.4 - 5) / 12.5 (8 dots) = 21.95, 279.4 / 12.5 = 22.35; 292.1 / 6.2 = 47.1.
        QTest::newRow("inch paper, 8 dots, double sided") << QVariantMap { { "Paper size", "11.5 x 11 inch" },
            { "Braille cell size", "US Standard" }, { "Braille cell dots", "8 dots" }, { "Line per page", 20 },
            { "Characters per line", 40 } } << QList<int> { 21, 22, 20, 47, 47, 0, 1, 0, 7, 1 };
        // Two pages side by side: 297 / 2 - 6 = 142.5 mm wide (23 cells, one for the binding),
        // 210 mm long at 10.3 mm (adjustment 0.3): (210 - 5) / 10.3 = 19.9, one line for the top
        // margin; the page number at the top needs a margin line of 1 or 2.
        QTest::newRow("booklet with a right offset") << QVariantMap { { "Duplexing", "Double sided booklet" },
            { "Right offset", 6.0 }, { "Adjustment to linespacing", 0.3 }, { "Top margin", "1 line" },
            { "Binding margin", "1 character" }, { "Page number", "Top center" }, { "Line per page", 18 },
            { "Characters per line", 20 } } << QList<int> { 19, 20, 18, 23, 22, 1, 1, 1, 3, 0 };
        // Eight panels: 210 / 2 = 105 mm long, 297 / 4 = 74.25 mm wide.
        QTest::newRow("mini z-folding") << QVariantMap { { "Duplexing", "Double sided mini z-folding" },
            { "Page number", "None" }, { "Line per page", 8 }, { "Characters per line", 10 } }
                                        << QList<int> { 10, 10, 10, 12, 12, 0, 2, 0, 2, 2 };
        // Z-folded paper runs sideways: 279.4 mm wide, 304.8 mm long.
        QTest::newRow("z-folding") << QVariantMap { { "Paper size", "12 x 11 inch" },
            { "Duplexing", "Double sided z-folding" }, { "Characters per line", 40 } }
                                   << QList<int> { 29, 30, 28, 46, 46, 0, 1, 0, 6, 1 };
        // The user paper is 250 x 200 mm in landscape format: pages 200 mm wide, 250 mm long.
        QTest::newRow("landscape format") << QVariantMap { { "Paper size", "User_defined_1" }, { "Line per page", 20 },
            { "Characters per line", 30 } }
                                          << QList<int> { 24, 25, 23, 33, 33, 0, 4, 0, 3, 4 };
        // Loaded sideways, a booklet page is half the width (125 mm) and the full length (200 mm);
        // no room for a binding margin is still the one a booklet needs.
        QTest::newRow("booklet loaded sideways") << QVariantMap { { "Paper size", "User_defined_1" },
            { "Duplexing", "Double sided booklet" }, { "Page number", "None" }, { "Binding margin", "1 character" },
            { "Line per page", 18 }, { "Characters per line", 20 } }
                                                 << QList<int> { 19, 20, 19, 20, 19, 0, 1, 1, 1, 1 };
        QTest::newRow("unknown paper") << QVariantMap { { "Paper size", "B5" } } << QList<int>();
        QTest::newRow("unknown cell size") << QVariantMap { { "Braille cell size", "Huge" } } << QList<int>();
        QTest::newRow("offset beyond any page") << QVariantMap { { "First line offset", 1e30 } } << QList<int>();
    }

    void geometry()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(QList<int>, expected);
        const LayoutEntity entity(context(), with(shippedLayout(1), changes));
        const QVariantMap extra = entity.supplyExtraProperties();
        QList<int> figures;
        for (const QString& key : geometryKeys) {
            if (extra.contains(key)) {
                figures.append(extra.value(key).toInt());
            }
        }
        QCOMPARE(figures, expected);
        QCOMPARE(extra.isEmpty(), expected.isEmpty());
    }

    // The repairs after a client changed one parameter (getValues with the changed parameter);
    // `expected` are values of the layout data afterwards, and with `othersUnchanged` nothing else
    // may differ from the layout before the change.
    void sanitize_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QVariantMap>("expected");
        QTest::addColumn<bool>("othersUnchanged");

        // Limits of the booklet page (20 lines, 24 cells less the binding), not of the sheet.
        QTest::newRow("plain to booklet")
            << "Corvane Alvero-D V5" << QVariantMap { { "Duplexing", "Double sided booklet" } } << "Duplexing"
            << "Double sided"
            << QVariantMap { { "Folding line", "Strong" }, { "Top margin", "None" }, { "Page number", "None" },
                   { "Binding margin", "1 character" }, { "Line per page", 20 }, { "Characters per line", 23 },
                   { "Binding offset", "6" } }
            << false;
        QTest::newRow("booklet to plain")
            << "Corvane Alvero-D V5"
            << QVariantMap { { "Duplexing", "Double sided" }, { "Folding line", "Strong" },
                   { "Binding margin", "1 character" }, { "Line per page", 20 }, { "Characters per line", 23 } }
            << "Duplexing"
            << "Double sided booklet"
            << QVariantMap { { "Folding line", "None" }, { "Page number", "None" }, { "Binding margin", "None" },
                   { "Line per page", 29 }, { "Characters per line", 35 }, { "Binding offset", "0" } }
            << false;
        QTest::newRow("region that keeps the paper")
            << "Corvane Zentra" << QVariantMap { { "Region", "World" } } << "Region"
            << "Europe" << QVariantMap() << true;
        // A4 is no paper of the US: its first paper, the model's only duplexing, and fewer lines
        // (27 of 10 mm on 279.4 - 5 mm, one for the page number).
        QTest::newRow("region without the paper, single-sided model")
            << "Corvane Darvo" << QVariantMap { { "Region", "Us" } } << "Region"
            << "Europe"
            << QVariantMap { { "Paper size", "11.5 x 11 inch" }, { "Duplexing", "Single sided" },
                   { "Line per page", 26 } }
            << false;
        QTest::newRow("cell dots reset the margins, lines fill the page")
            << "Corvane Zentra"
            << QVariantMap { { "Braille cell dots", "8 dots" }, { "Top margin", "1 line" },
                   { "Page number", "Top center" }, { "Line per page", 20 } }
            << "Braille cell dots"
            << "6 dots"
            << QVariantMap { { "Top margin", "None" }, { "Page number", "None" }, { "Line per page", 23 },
                   { "Characters per line", 28 } }
            << false;
        QTest::newRow("too many lines") << "Corvane Zentra" << QVariantMap { { "Line per page", 80 } }
                                        << "Line per page"
                                        << "28" << QVariantMap { { "Line per page", 28 } } << true;
    }

    void sanitize()
    {
        QFETCH(QString, model);
        QFETCH(QVariantMap, changes);
        QFETCH(QString, changed);
        QFETCH(QString, previous);
        QFETCH(QVariantMap, expected);
        QFETCH(bool, othersUnchanged);
        const QVariantMap before = with(shippedLayout(1), changes);
        LayoutEntity entity(context(model), before);
        const QVariantMap result = entity.getValues("Line per page", changed, previous);
        const QVariantMap after = result.value(ls::layoutDataKey).toMap();
        QCOMPARE(after, entity.getData(false));
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
            QCOMPARE(after.value(it.key()).toString(), it.value().toString());
        }
        if (othersUnchanged) {
            QCOMPARE(after, with(before, expected));
        }
        // The line limits offered are those of the repaired page.
        const QVariantMap limits = result.value(ls::propertyValuesKey).toMap();
        QCOMPARE(limits.value(ls::maxValueKey), entity.supplyExtraProperties().value("Max lines"));
        QVERIFY(after.value("Line per page").toInt() <= limits.value(ls::maxValueKey).toInt());
    }

    // A file of an older firmware: no name, no line spacing adjustment, no cell dots, a liblouis
    // table that has been replaced, a creator of no machine.
    void migration()
    {
        // The generated metadata replaces one table; its successor is the table to expect.
        QString superseded;
        QString successor;
        const QString liblouisRoot = m_root->file("/usr/share/embosser/liblouis");
        for (const QString& language : QDir(liblouisRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QVariantMap tables;
            QVERIFY(m_file.readToMap(QStringLiteral("%1/%2/%2.json").arg(liblouisRoot, language), tables));
            for (auto it = tables.constBegin(); it != tables.constEnd(); ++it) {
                if (it.value().toMap().value("status:") == "replaced") {
                    superseded = language + '/' + it.key();
                    successor = it.value().toMap().value("replaced-by:").toString();
                }
            }
        }
        QVERIFY(!superseded.isEmpty());

        const QVariantMap old = with(shippedLayout(1),
            { { "Layout name", QVariant() }, { "Adjustment to linespacing", QVariant() },
                { "Braille cell dots", QVariant() }, { "Creator of layout", QVariant() },
                { "Liblouis table", superseded } });
        LayoutEntity entity(context(), old);
        QVERIFY(!entity.validate());
        QVERIFY(entity.update());
        QCOMPARE(entity.getText("Layout name"), QString("A4 Double sided"));
        QCOMPARE(entity.getFloat("Adjustment to linespacing"), 0.0);
        QCOMPARE(entity.getText("Braille cell dots"), QString("6 dots"));
        QCOMPARE(entity.getText("Creator of layout"), QString("Zentra-30158"));
        QCOMPARE(entity.getText("Liblouis table"), successor);
        QVERIFY(!entity.update());
    }

    // Values a client can send in place of a layout value; only the first two rows are valid.
    void validate_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("valid");

        QTest::newRow("shipped layout") << "Line per page" << QVariant(28) << true;
        QTest::newRow("number as text") << "Line per page" << QVariant("28") << true;
        QTest::newRow("fraction for a count") << "Line per page" << QVariant(28.5) << false;
        QTest::newRow("above the maximum") << "Line per page" << QVariant(500) << false;
        QTest::newRow("not a number") << "First line offset" << QVariant(std::nan("")) << false;
        QTest::newRow("list for a number") << "Line per page" << QVariant(QVariantList { 28 }) << false;
        QTest::newRow("map for a text") << "Duplexing" << QVariant(QVariantMap { { "a", 1 } }) << false;
        QTest::newRow("number for a text") << "Layout name" << QVariant(5) << false;
        QTest::newRow("text too long") << "Layout name" << QVariant(QString(2000, 'x')) << false;
        QTest::newRow("not in the value list") << "Duplexing" << QVariant("Triple sided") << false;
        QTest::newRow("no such paper") << "Paper size" << QVariant("User_defined_42") << false;
        QTest::newRow("legacy table outside its directory")
            << "Braille language" << QVariant("../../../../etc/passwd") << false;
        QTest::newRow("liblouis table outside its directory")
            << "Liblouis table" << QVariant("English (U.K.)/../../../x") << false;
        QTest::newRow("8-dot table of a 6-dot layout")
            << "Braille language" << QVariant("English/US_computer_8_dot.ebc") << false;
        QTest::newRow("missing") << "Top margin" << QVariant() << false;
    }

    void validate()
    {
        QFETCH(QString, parameter);
        QFETCH(QVariant, value);
        QFETCH(bool, valid);
        const LayoutEntity entity(context(), with(shippedLayout(1), { { parameter, value } }));
        QCOMPARE(entity.validate(), valid);
    }

    // The values offered for a parameter, by the validation commands of its value list; an
    // entry with a command no build knows ("Bogus") is skipped.
    void rowValues_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("list");
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QVariantMap>("expected");

        const int duplexing = int(lcm::RowValueList::Duplexing);
        const int folding = int(lcm::RowValueList::FoldingLine);
        QTest::newRow("duplexing, sheet model, two-sided head")
            << "Corvane Zentra" << duplexing << QVariantMap()
            << QVariantMap { { "Single sided", 1 }, { "Double sided", 2 }, { "Double sided tumble", 3 } };
        QTest::newRow("duplexing, single-sided tractor model")
            << "Corvane Darvo" << duplexing << QVariantMap()
            << QVariantMap { { "Single sided", 1 }, { "Manual double sided", 5 }, { "Single sided z-folding", 7 },
                   { "Single sided sideways z-folding", 10 }, { "Single sided continuous", 12 } };
        QTest::newRow("papers of the region, and the user papers")
            << "Corvane Zentra" << int(lcm::RowValueList::PaperSize) << QVariantMap()
            << QVariantMap { { "A4", 1 }, { "User_defined_1", 73 } };
        // 29 lines and 28 used: one line for a top margin, with the page number at the bottom.
        QTest::newRow("top margins that fit") << "Corvane Zentra" << int(lcm::RowValueList::TopMargin) << QVariantMap()
                                              << QVariantMap { { "None", 0 }, { "1 line", 1 } };
        QTest::newRow("folding lines of a booklet")
            << "Corvane Alvero-D V5" << folding << QVariantMap { { "Duplexing", "Double sided booklet" } }
            << QVariantMap { { "None", 0 }, { "Light", 1 }, { "Medium", 2 }, { "Strong", 3 } };
        QTest::newRow("no folding line without folding")
            << "Corvane Alvero-D V5" << folding << QVariantMap() << QVariantMap { { "None", 0 } };
    }

    void rowValues()
    {
        QFETCH(QString, model);
        QFETCH(int, list);
        QFETCH(QVariantMap, changes);
        QFETCH(QVariantMap, expected);
        const LayoutEntity entity(context(model), with(shippedLayout(1), changes));
        LogCapture log;
        QVariantMap offered;
        QVERIFY(entity.filterRowValues(static_cast<lcm::RowValueList>(list), entity.supplyExtraProperties(), offered));
        QCOMPARE(offered, expected);
        QCOMPARE(log.contains("Unknown validation command found NoSuchCommand - skip."),
            list == int(lcm::RowValueList::Duplexing));
    }
};

QTEST_GUILESS_MAIN(TestLayoutEntity)
#include "tst_layout_entity.moc"
