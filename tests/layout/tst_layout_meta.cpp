// Layout metadata: the typed getters of the parameter list and their fallbacks, its keyed write,
// the restore of the data files from their backup, document-setting keys, the braille dimensions
// (line pitch keys and clamping, both call forms, interline data), the value-list lookups of
// layout values and the layout file reader.
#include "DataRow.h"
#include "LogCapture.h"
#include "TestRoot.h"
#include "layout/BrlDimension.h"
#include "layout/DocSettingList.h"
#include "layout/LayoutFile.h"
#include "layout/ParameterList.h"
#include "layout/ParameterValues.h"
#include "lcm/EnumDetail.h"
#include "ls/JFile.h"
#include "property/PropValueList.h"

#include <QFile>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTest>

#include <memory>

namespace {
const QString dataDir = QStringLiteral("/usr/share/configuration-manager");
const QString parameterListFile = dataDir + QStringLiteral("/parameterList.json");
const QString docSettingListFile = dataDir + QStringLiteral("/docSettingList.json");
const QString brailleDimensionFile = dataDir + QStringLiteral("/brailleDimension.json");

QString backupOf(const QString& machinePath)
{
    return dataDir + "/backup/" + machinePath.mid(dataDir.size() + 1);
}

QByteArray toJson(const QVariantMap& map)
{
    return QJsonDocument::fromVariant(map).toJson();
}

// A cell size whose eight line pitches all differ, so that the choice of key shows in the
// result: base for 6 dots single spacing, +10 double spacing, +20 8 dots, +30 both; the
// one-sided ("SS") pitches one more.
QVariantMap pitchRecord(int index, double base)
{
    QVariantMap record { { "index", index }, { "cellToCell", 6.0 }, { "interLine", false } };
    const QStringList keys
        = { "lineToLine", "lineToLineDoubleSpacing", "lineToLine4Dot", "lineToLine4DotDoubleSpacing" };
    for (int i = 0; i < keys.size(); ++i) {
        record.insert(keys.at(i), base + 10 * i);
        record.insert(keys.at(i) + "SS", base + 10 * i + 1);
    }
    return record;
}

// A layout as the store reads it, straight from its file.
QVariantMap readLayoutFile(int n)
{
    QVariantMap data;
    LayoutFile(n).read(data);
    return data;
}
} // namespace

class TestLayoutMeta : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;
    std::unique_ptr<PropValueList> m_values;
    std::unique_ptr<ParameterList> m_parameters;
    // Braille dimensions read from pitch records instead of the shipped file.
    std::unique_ptr<BrlDimension> m_pitches;

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_values = std::make_unique<PropValueList>(m_file);
        m_parameters = std::make_unique<ParameterList>(m_file, m_file);
        QVERIFY(!m_parameters->getParameterList().isEmpty());

        QVariantMap interline = pitchRecord(9, 300);
        interline.insert("interLine", true);
        interline.insert("interLineBackRowOffset3Dot", 6.5);
        interline.insert("interLineBackRowOffset4Dot", 8.0);
        QVariantMap broken = pitchRecord(7, 400);
        broken.insert("lineToLine", "wide");
        broken.insert("interLine", "yes");
        const QVariantMap pitches { { "Marburg Medium", pitchRecord(1, 10) }, { "Graphics", pitchRecord(2, 210) },
            { "US Standard", pitchRecord(4, 110) }, { "Interline", interline }, { "Enhanced Line Spacing", broken } };
        QVERIFY(m_root->writeFile(brailleDimensionFile, toJson(pitches)));
        m_pitches = std::make_unique<BrlDimension>(m_file, *m_values);
    }

    // The shipped data files back before each test.
    void init()
    {
        for (const QString& file : { parameterListFile, docSettingListFile, brailleDimensionFile }) {
            QVERIFY(m_root->restoreShipped(file));
            QVERIFY(m_root->restoreShipped(backupOf(file)));
        }
    }

    // Each getter reads its own field (numbers arrive from JSON as doubles, enumerations as key
    // names); a field that is missing or of the wrong kind gives the getter's default and a log line.
    void typedGetters()
    {
        const QVariantMap good { { "index", 3 }, { "minValue", -5 }, { "maxValue", 70 }, { "precision", 2 },
            { "stored", true }, { "editable", 0 }, { "hideValueInactive", true }, { "eValueType", "Listing" },
            { "eValueList", "Duplexing" } };
        const QVariantMap broken { { "minValue", "abc" }, { "stored", "yes" } };
        QVERIFY(m_root->writeFile(parameterListFile,
            toJson({ { "Good", good }, { "Broken", broken },
                { "Unknown keys", QVariantMap { { "eValueType", "Numerical" } } }, { "Not a record", 5 } })));
        const ParameterList list(m_file, m_file);
        LogCapture log;
        QCOMPARE(QList<int>({ list.getIndex("Good"), list.getMinValue("Good"), list.getMaxValue("Good"),
                     list.getPrecision("Good") }),
            QList<int>({ 3, -5, 70, 2 }));
        QVERIFY(list.getStored("Good") && !list.getEditable("Good") && list.getHideValueInactive("Good"));
        QCOMPARE(list.getValueType("Good"), lcm::ValueType::Listing);
        QCOMPARE(list.getRowValueList("Good"), lcm::RowValueList::Duplexing);
        QVERIFY2(log.messages().isEmpty(), qPrintable(log.messages().join('\n')));

        QCOMPARE(list.getMinValue("Broken"), -1);
        QVERIFY(!list.getStored("Broken")); // any text but true/false is no flag
        QCOMPARE(list.getValueType("Broken"), lcm::ValueType::Undefined);
        QCOMPARE(list.getValueType("Unknown keys"), lcm::ValueType::Undefined);
        QVERIFY(!list.getEditable("Not a record"));
        QCOMPARE(list.getIndex("Missing"), -1);
        for (const char* line :
            { "ParameterList::getMinValue FAILED! for Broken", "ParameterList::getStored FAILED! for Broken",
                "ParameterList::getValue ERROR: property Broken does not contain eValueType",
                "ParameterList::getValueType FAILED! for Unknown keys",
                "ParameterList::getValue ERROR: property Not a record converting to map failed!",
                "ParameterList::getValue ERROR: property Missing not found!" }) {
            QVERIFY2(log.contains(line), line);
        }
    }

    void setValueWritesOneFieldAndReloads()
    {
        const QString parameter = "Adjustment to linespacing";
        ParameterList list(m_file, m_file);
        QVERIFY(!list.getEditable(parameter));
        QVERIFY(list.setValue(parameter, "editable", true));
        QVERIFY(list.getEditable(parameter));
        // Only that field changed on disk.
        QVariantMap written;
        QVERIFY(m_file.readToMap(m_root->file(parameterListFile), written));
        QVariantMap expected = m_parameters->getParameterList();
        QVariantMap record = expected.value(parameter).toMap();
        record.insert("editable", true);
        expected.insert(parameter, record);
        QCOMPARE(written, expected);
        QVERIFY(!list.setValue("No such parameter", "editable", true));
    }

    // Each loader restores its file from the backup copy, whether missing, not an object or
    // corrupt; with both copies lost the list is empty.
    void dataFilesAreRestoredFromTheirBackup()
    {
        QVERIFY(QFile::remove(m_root->file(parameterListFile)));
        QVERIFY(m_root->writeFile(docSettingListFile, "[]"));
        QVERIFY(m_root->writeFile(brailleDimensionFile, "{ \"a\": "));
        QVERIFY(!ParameterList(m_file, m_file).getParameterList().isEmpty());
        QVERIFY(!DocSettingList(m_file).getDocSettingList().isEmpty());
        QVERIFY(!BrlDimension(m_file, *m_values).getDimensions().isEmpty());
        for (const QString& file : { parameterListFile, docSettingListFile, brailleDimensionFile }) {
            QCOMPARE(m_root->readFile(file), m_root->readFile(backupOf(file)));
        }

        QVERIFY(QFile::remove(m_root->file(parameterListFile)));
        QVERIFY(QFile::remove(m_root->file(backupOf(parameterListFile))));
        LogCapture log;
        const ParameterList lost(m_file, m_file);
        QVERIFY(log.contains("ParameterList::load CRITICAL: Restore failed!"));
        QVERIFY(lost.getParameterList().isEmpty());
        QVERIFY(!lost.getStored("Layout name"));
    }

    void docSettingKeys()
    {
        // Written out of key order: a code under two keys answers the key that sorts first.
        QVERIFY(m_root->writeFile(docSettingListFile,
            R"({ "Group": { "zulu": 2, "bravo": 2, "alpha": 1, "charlie": 2 }, "Other": { "x": 2, "y": 3 } })"));
        const DocSettingList list(m_file);
        QCOMPARE(list.returnDocSettingKey("Group", 2), QString("bravo"));
        QCOMPARE(list.returnDocSettingKey("Group", 1), QString("alpha"));
        QCOMPARE(list.returnDocSettingKey("Other", 2), QString("x"));
        QCOMPARE(list.returnDocSettingKey("Group", 3), QString());
        QCOMPARE(list.returnDocSettingKey("No such group", 1), QString());
    }

    // Every duplex mode, cell height and line spacing picks its own one of the eight pitches; only
    // text cells take the adjustment, clamped to minimum and maximum (-5, 5) scaled by the precision.
    void lineToLine_data()
    {
        QTest::addColumn<int>("duplexMode");
        QTest::addColumn<int>("cellDots");
        QTest::addColumn<int>("lineSpacing");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("precision");
        QTest::addColumn<double>("adjustment");
        QTest::addColumn<double>("expected");
        const QList<int> singleSided { 1, 5, 7, 8, 10, 12 };
        for (int mode = 0; mode <= 13; ++mode) {
            QTest::addRow("duplex %d", mode)
                << mode << 6 << 1 << 1 << 1 << 0.0 << (singleSided.contains(mode) ? 11.0 : 10.0);
        }
        row("8 dots", 2, 8, 1, 1, 1, 0.0, 30.0);
        row("double spacing", 2, 6, 2, 1, 1, 0.0, 20.0);
        row("8 dots double spacing single sided", 12, 8, 2, 1, 1, 0.0, 41.0);
        row("spacing other than 1 is double", 2, 6, 0, 1, 1, 0.0, 20.0);
        row("dots other than 8 are 6", 2, 7, 1, 1, 1, 0.0, 10.0);
        row("adjustment inside", 2, 6, 1, 1, 1, 0.35, 10.35);
        row("above the maximum", 2, 6, 1, 1, 1, 0.9, 10.5);
        row("below the minimum", 2, 6, 1, 1, 1, -0.9, 9.5);
        row("precision 2", 2, 6, 1, 1, 2, 0.9, 10.05);
        row("negative precision scales by 1", 2, 6, 1, 1, -2, 7.0, 15.0);
        row("graphics ignores it", 2, 6, 1, 2, 1, 0.35, 210.0);
        row("other cell sizes ignore it", 2, 6, 1, 4, 1, 0.35, 110.0);
        row("no such type", 2, 6, 1, 42, 1, 0.3, -1.0);
    }

    void lineToLine()
    {
        QFETCH(int, duplexMode);
        QFETCH(int, cellDots);
        QFETCH(int, lineSpacing);
        QFETCH(int, type);
        QFETCH(int, precision);
        QFETCH(double, adjustment);
        QTEST(m_pitches->getLineToLine(precision, duplexMode, cellDots, lineSpacing, type, adjustment, -5.0, 5.0),
            "expected");
    }

    // The D-Bus form: list positions converted through the enumerations, not used as numbers.
    void lineToLineFromLayoutTexts()
    {
        const QString text = "Marburg Medium";
        QCOMPARE(m_pitches->getLineToLine(0.35, 1, -5.0, 5.0, text, "Double sided", "6 dots", "Single"), 10.35);
        QCOMPARE(m_pitches->getLineToLine(0.9, 1, -5.0, 5.0, text, "Double sided booklet", "8 dots", "Single"), 30.5);
        QCOMPARE(m_pitches->getLineToLine(0.0, 1, -5.0, 5.0, text, "Manual double sided", "8 dots", "Double"), 41.0);
        QCOMPARE(m_pitches->getLineToLine(0.0, 1, -5.0, 5.0, text, "Sideways", "6 dots", "Single"), 10.0);
        QCOMPARE(
            m_pitches->getLineToLine(0.35, 1, -5.0, 5.0, "US Standard", "Double sided", "6 dots", "Single"), 110.0);
    }

    void dimensionLookups()
    {
        QCOMPARE(m_pitches->getInterlineBackRowOffset("8 dots", "Interline"), 8.0);
        // Any text but the exact 8-dot key answers the 3-dot offset.
        QCOMPARE(m_pitches->getInterlineBackRowOffset("8 DOTS", "Interline"), 6.5);
        QVERIFY(m_pitches->getIsInterline("Interline"));
        QVERIFY(!m_pitches->getIsInterline("Marburg Medium"));
        QVERIFY(!m_pitches->getIsInterline("Enhanced Line Spacing"));
        // Neither a missing size, a flag nor a text is a distance.
        QCOMPARE(m_pitches->getDouble("Nowhere", "cellToCell"), -1.0);
        QCOMPARE(m_pitches->getDouble("Marburg Medium", "interLine"), -1.0);
        QCOMPARE(m_pitches->getDouble("Enhanced Line Spacing", "lineToLine"), -1.0);
    }

    // Each braille cell size answers the same pitch by name and by the dimension type its list
    // position converts to, and that pitch is the one its value list advertises.
    void cellPitchesOfTheShippedSizes()
    {
        const BrlDimension dimensions(m_file, *m_values);
        const QVariantList sizes = m_values->getValues(lcm::RowValueList::BrailleCellSize);
        QVERIFY(!sizes.isEmpty());
        for (int position = 0; position < sizes.size(); ++position) {
            const QString size = sizes.at(position).toMap().value("description").toString();
            const double pitch = sizes.at(position).toMap().value("floatValue").toDouble();
            QCOMPARE(dimensions.getCellToCell(size), pitch);
            QCOMPARE(dimensions.getCellToCell(lcm::EnumDetail::valueAt("BrailleDimension", position)), pitch);
            QVERIFY2(dimensions.getHorizontalDotToDot(size) > 0.0 && dimensions.getVerticalDotToDot(size) > 0.0,
                qPrintable(size));
        }
        QCOMPARE(dimensions.getCellToCell(int(lcm::BrailleDimensionType::Graphics)), 5.0);
    }

    // Position and number of a layout value in its value list; a matched entry without a number
    // answers 0.0. A parameter the layout lacks (even through a path that is no layout number) or
    // that has no value list answers -1 with a log line.
    void parameterValuesOfTheShippedLayouts_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("floatValue");
        QTest::addColumn<QString>("error");
        row("line spacing", "1", "Braille line spacing", 0, 5.0, "");
        row("cell size", "3", "Braille cell size", 2, 6.2, "");
        row("graphic cell size", "1", "Graphic cell size", 8, 5.0, "");
        row("no floatValue", "5", "Braille cell dots", 1, 0.0, "");
        row("paper", "4", "Paper size", 5, 0.0, "");
        row("empty list", "1", "Braille language", -1, -1.0, "");
        row("not stored", "1", "Paper width", -1, -1.0, "Parameter Paper width not found in the layout!");
        row("not a number", "../layout.1", "Duplexing", -1, -1.0, "Parameter Duplexing not found in the layout!");
        row("no value list", "1", "Layout name", -1, -1.0, "Value list for Layout name not found!");
    }

    void parameterValuesOfTheShippedLayouts()
    {
        QFETCH(QString, layout);
        QFETCH(QString, parameter);
        QFETCH(QString, error);
        const ParameterValues values(*m_values, *m_parameters, readLayoutFile);
        LogCapture log;
        QTEST(values.getIntValue(layout, parameter), "position");
        QTEST(values.getFloatValue(layout, parameter), "floatValue");
        QVERIFY2(error.isEmpty()
                || (log.contains("ParameterValues::getIntValue ERROR: " + error)
                    && log.contains("ParameterValues::getFloatValue ERROR: " + error)),
            qPrintable(log.messages().join('\n')));
    }

    // The layout is read on every call; a value its list does not hold has no position or number.
    void parameterValuesReadTheFileOnEveryCall()
    {
        const QString layout7 = "/var/lib/embosser/layout.7";
        const ParameterValues values(*m_values, *m_parameters, readLayoutFile);
        QVERIFY(m_root->writeFile(layout7, "{ \"Braille line spacing\": \"Double\" }"));
        QCOMPARE(values.getFloatValue("7", "Braille line spacing"), 10.0);
        QVERIFY(m_root->writeFile(layout7, "{ \"Braille line spacing\": \"Triple\" }"));
        QCOMPARE(values.getIntValue("7", "Braille line spacing"), -1);
        QCOMPARE(values.getFloatValue("7", "Braille line spacing"), -1.0);
        QVERIFY(QFile::remove(m_root->file(layout7)));
    }

    void layoutFileReads()
    {
        QVariantMap data;
        QVERIFY(LayoutFile(1).read(data));
        QCOMPARE(data.value("Layout name").toString(), QString("A4 Double sided"));
        QString value;
        QVERIFY(LayoutFile(5).read("Braille cell dots", value));
        QCOMPARE(value, QString("8 dots"));
        QVERIFY(!LayoutFile(50).read(data));
    }
};

QTEST_GUILESS_MAIN(TestLayoutMeta)
#include "tst_layout_meta.moc"
