// Layout metadata on the shipped data and on small fixture files: the typed getters of the
// parameter list and their defaults, its keyed write, the restore of the data files from their
// backup, document-setting keys, the braille line pitch (clamping, one-sided duplex modes,
// 8-dot cells, the texts of the D-Bus form) and the value-list lookups of layout values.
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

#include <functional>
#include <memory>

namespace {
const QString dataDir = QStringLiteral("/usr/share/configuration-manager");
const QString parameterListFile = dataDir + QStringLiteral("/parameterList.json");
const QString docSettingListFile = dataDir + QStringLiteral("/docSettingList.json");
const QString brailleDimensionFile = dataDir + QStringLiteral("/brailleDimension.json");
const QStringList dataFiles = { parameterListFile, docSettingListFile, brailleDimensionFile };

QString backupOf(const QString& machinePath)
{
    return dataDir + QStringLiteral("/backup/") + machinePath.mid(dataDir.size() + 1);
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
    QVariantMap record {
        { QStringLiteral("index"), index },
        { QStringLiteral("cellToCell"), 6.0 },
        { QStringLiteral("horizontalDotToDot"), 2.5 },
        { QStringLiteral("verticalDotToDot"), 2.5 },
        { QStringLiteral("interLine"), false },
        { QStringLiteral("interLineBackRowOffset3Dot"), 0.0 },
        { QStringLiteral("interLineBackRowOffset4Dot"), 0.0 },
    };
    const QStringList keys = { QStringLiteral("lineToLine"), QStringLiteral("lineToLineDoubleSpacing"),
        QStringLiteral("lineToLine4Dot"), QStringLiteral("lineToLine4DotDoubleSpacing") };
    for (int i = 0; i < keys.size(); ++i) {
        record.insert(keys.at(i), base + 10 * i);
        record.insert(keys.at(i) + QStringLiteral("SS"), base + 10 * i + 1);
    }
    return record;
}
} // namespace

class TestLayoutMeta : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_file;
    std::unique_ptr<PropValueList> m_values;
    std::unique_ptr<ParameterList> m_parameters;

    // Braille dimensions read from the pitch fixture instead of the shipped file.
    std::unique_ptr<BrlDimension> pitchFixture() const
    {
        QVariantMap interline = pitchRecord(9, 300);
        interline.insert(QStringLiteral("interLine"), true);
        interline.insert(QStringLiteral("interLineBackRowOffset3Dot"), 6.5);
        interline.insert(QStringLiteral("interLineBackRowOffset4Dot"), 8.0);
        QVariantMap broken = pitchRecord(7, 400);
        broken.insert(QStringLiteral("lineToLine"), QStringLiteral("wide"));
        broken.insert(QStringLiteral("interLine"), QStringLiteral("yes"));
        const QVariantMap fixture {
            { QStringLiteral("Marburg Medium"), pitchRecord(1, 10) },
            { QStringLiteral("Graphics"), pitchRecord(2, 210) },
            { QStringLiteral("US Standard"), pitchRecord(4, 110) },
            { QStringLiteral("Interline"), interline },
            { QStringLiteral("Enhanced Line Spacing"), broken },
        };
        if (!m_root->writeFile(brailleDimensionFile, toJson(fixture))) {
            return nullptr;
        }
        return std::make_unique<BrlDimension>(m_file, *m_values);
    }

    // The whole map that a freshly built object of `className` loaded.
    QVariantMap loadFresh(const QString& className) const
    {
        if (className == QLatin1String("ParameterList")) {
            return ParameterList(m_file, m_file).getParameterList();
        }
        if (className == QLatin1String("DocSettingList")) {
            return DocSettingList(m_file).getDocSettingList();
        }
        return BrlDimension(m_file, *m_values).getDimensions();
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        // A successful restore is logged at info level, below the categories' threshold.
        QLoggingCategory::setFilterRules(
            QStringLiteral("ParameterList.info=true\nDocSettingList.info=true\nBrlDimension.info=true"));
        m_values = std::make_unique<PropValueList>(m_file);
        m_parameters = std::make_unique<ParameterList>(m_file, m_file);
        QVERIFY(!m_parameters->getParameterList().isEmpty());
    }

    void init()
    {
        for (const QString& file : dataFiles) {
            QVERIFY(m_root->restoreShipped(file));
            QVERIFY(m_root->restoreShipped(backupOf(file)));
        }
    }

    // Numbers arrive from JSON as doubles and enumerations as key names.
    void typedGettersConvertTheShippedRecords_data()
    {
        QTest::addColumn<QString>("getter");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("expected");

        QTest::newRow("negative minimum") << "minValue"
                                          << "Adjustment to linespacing" << -5;
        QTest::newRow("maximum") << "maxValue"
                                 << "Line per page" << 70;
        QTest::newRow("precision") << "precision"
                                   << "Binding offset" << 2;
        QTest::newRow("index") << "index"
                               << "Layout name" << 1;
        QTest::newRow("stored") << "stored"
                                << "Creator of layout" << 1;
        QTest::newRow("not stored") << "stored"
                                    << "Paper width" << 0;
        QTest::newRow("not editable") << "editable"
                                      << "Adjustment to linespacing" << 0;
        QTest::newRow("hidden while inactive") << "hideValueInactive"
                                               << "Adjustment to linespacing" << 1;
        QTest::newRow("listing") << "valueType"
                                 << "Braille language" << int(lcm::ValueType::Listing);
        QTest::newRow("table row") << "valueType"
                                   << "Duplexing" << int(lcm::ValueType::TableRow);
        QTest::newRow("duplexing list") << "valueList"
                                        << "Duplexing" << int(lcm::RowValueList::Duplexing);
        QTest::newRow("cell dots list") << "valueList"
                                        << "Braille cell dots" << int(lcm::RowValueList::BrailleCellDots);
        QTest::newRow("no list") << "valueList"
                                 << "Layout name" << int(lcm::RowValueList::None);
    }

    void typedGettersConvertTheShippedRecords()
    {
        QFETCH(QString, getter);
        QFETCH(QString, parameter);
        QFETCH(int, expected);
        const ParameterList& list = *m_parameters;
        const QHash<QString, std::function<int()>> getters {
            { QStringLiteral("minValue"), [&] { return list.getMinValue(parameter); } },
            { QStringLiteral("maxValue"), [&] { return list.getMaxValue(parameter); } },
            { QStringLiteral("precision"), [&] { return list.getPrecision(parameter); } },
            { QStringLiteral("index"), [&] { return list.getIndex(parameter); } },
            { QStringLiteral("stored"), [&] { return int(list.getStored(parameter)); } },
            { QStringLiteral("editable"), [&] { return int(list.getEditable(parameter)); } },
            { QStringLiteral("hideValueInactive"), [&] { return int(list.getHideValueInactive(parameter)); } },
            { QStringLiteral("valueType"), [&] { return int(list.getValueType(parameter)); } },
            { QStringLiteral("valueList"), [&] { return int(list.getRowValueList(parameter)); } },
        };
        LogCapture log;
        QCOMPARE(getters.value(getter)(), expected);
        QVERIFY2(log.messages().isEmpty(), qPrintable(log.messages().join(QLatin1Char('\n'))));
    }

    void typedGettersFallBackToTheirDefaults_data()
    {
        QTest::addColumn<QString>("getter");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("logged");

        QTest::newRow("minValue abc") << "minValue"
                                      << "Broken" << -1
                                      << QStringList { "ParameterList::getMinValue FAILED! for Broken" };
        QTest::newRow("maxValue null") << "maxValue"
                                       << "Broken" << -1
                                       << QStringList { "ParameterList::getMaxValue FAILED! for Broken" };
        QTest::newRow("precision array") << "precision"
                                         << "Broken" << -1
                                         << QStringList { "ParameterList::getPrecision FAILED! for Broken" };
        QTest::newRow("index missing") << "index"
                                       << "Broken" << -1
                                       << QStringList {
                                              "ParameterList::getValue ERROR: property Broken does not contain index",
                                              "ParameterList::getIndex FAILED! for Broken"
                                          };
        QTest::newRow("stored yes") << "stored"
                                    << "Broken" << 0 << QStringList { "ParameterList::getStored FAILED! for Broken" };
        QTest::newRow("eValueType missing")
            << "valueType"
            << "Broken" << int(lcm::ValueType::Undefined)
            << QStringList { "ParameterList::getValue ERROR: property Broken does not contain eValueType",
                   "ParameterList::getValueType FAILED! for Broken" };
        QTest::newRow("eValueType unknown") << "valueType"
                                            << "Unknown keys" << int(lcm::ValueType::Undefined)
                                            << QStringList { "ParameterList::getValueType FAILED! for Unknown keys" };
        QTest::newRow("eValueList unknown")
            << "valueList"
            << "Unknown keys" << int(lcm::RowValueList::Undefined)
            << QStringList { "ParameterList::getRowValueList FAILED! for Unknown keys" };
        QTest::newRow("record not a map")
            << "editable"
            << "Not a record" << 0
            << QStringList { "ParameterList::getValue ERROR: property Not a record converting to map failed!",
                   "ParameterList::getEditable FAILED! for Not a record" };
        QTest::newRow("parameter missing")
            << "index"
            << "Missing" << -1
            << QStringList { "ParameterList::getValue ERROR: property Missing not found!",
                   "ParameterList::getIndex FAILED! for Missing" };
    }

    void typedGettersFallBackToTheirDefaults()
    {
        QFETCH(QString, getter);
        QFETCH(QString, parameter);
        QFETCH(int, expected);
        QFETCH(QStringList, logged);
        const QVariantMap fixture {
            { QStringLiteral("Broken"),
                QVariantMap { { QStringLiteral("minValue"), QStringLiteral("abc") },
                    { QStringLiteral("maxValue"), QVariant::fromValue(nullptr) },
                    { QStringLiteral("precision"), QVariantList { 1 } },
                    { QStringLiteral("stored"), QStringLiteral("yes") } } },
            { QStringLiteral("Unknown keys"),
                QVariantMap { { QStringLiteral("eValueType"), QStringLiteral("Numerical") },
                    { QStringLiteral("eValueList"), QStringLiteral("NoSuchList") } } },
            { QStringLiteral("Not a record"), 5 },
        };
        QVERIFY(m_root->writeFile(parameterListFile, toJson(fixture)));
        const ParameterList list(m_file, m_file);
        const QHash<QString, std::function<int()>> getters {
            { QStringLiteral("minValue"), [&] { return list.getMinValue(parameter); } },
            { QStringLiteral("maxValue"), [&] { return list.getMaxValue(parameter); } },
            { QStringLiteral("precision"), [&] { return list.getPrecision(parameter); } },
            { QStringLiteral("index"), [&] { return list.getIndex(parameter); } },
            { QStringLiteral("stored"), [&] { return int(list.getStored(parameter)); } },
            { QStringLiteral("editable"), [&] { return int(list.getEditable(parameter)); } },
            { QStringLiteral("valueType"), [&] { return int(list.getValueType(parameter)); } },
            { QStringLiteral("valueList"), [&] { return int(list.getRowValueList(parameter)); } },
        };
        LogCapture log;
        QCOMPARE(getters.value(getter)(), expected);
        for (const QString& line : logged) {
            QVERIFY2(log.contains(line), qPrintable(log.messages().join(QLatin1Char('\n'))));
        }
    }

    void setValueWritesOneFieldAndReloads()
    {
        const QString parameter = QStringLiteral("Adjustment to linespacing");
        ParameterList list(m_file, m_file);
        QVERIFY(!list.getEditable(parameter));
        QVERIFY(list.setValue(parameter, QStringLiteral("editable"), true));
        QVERIFY(list.getEditable(parameter));

        // Only that field changed on disk; the factory copy is left alone.
        QVariantMap written;
        QVERIFY(m_file.readToMap(m_root->file(parameterListFile), written));
        QVariantMap expected = m_parameters->getParameterList();
        QVariantMap record = expected.value(parameter).toMap();
        record.insert(QStringLiteral("editable"), true);
        expected.insert(parameter, record);
        QCOMPARE(written, expected);
        QFile shippedBackup(TestRoot::sourceDir() + QStringLiteral("/data") + backupOf(parameterListFile));
        QVERIFY(shippedBackup.open(QIODevice::ReadOnly));
        QCOMPARE(m_root->readFile(backupOf(parameterListFile)), shippedBackup.readAll());
        QCOMPARE(ParameterList(m_file, m_file).getEditable(parameter), true);
    }

    void setValueOfAnUnknownParameterFails()
    {
        const QByteArray before = m_root->readFile(parameterListFile);
        ParameterList list(m_file, m_file);
        LogCapture log;
        QVERIFY(!list.setValue(QStringLiteral("No such parameter"), QStringLiteral("editable"), true));
        QVERIFY(log.contains(
            QStringLiteral("ParameterList::setValue ERROR: writing property No such parameter key editable failed!")));
        QCOMPARE(m_root->readFile(parameterListFile), before);
        QCOMPARE(list.getParameterList(), m_parameters->getParameterList());
    }

    void dataFilesAreRestoredFromTheirBackup_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("damage");

        const QList<QPair<QString, QString>> owners { { QStringLiteral("ParameterList"), parameterListFile },
            { QStringLiteral("DocSettingList"), docSettingListFile },
            { QStringLiteral("BrlDimension"), brailleDimensionFile } };
        for (const auto& owner : owners) {
            QTest::addRow("%s corrupt", qPrintable(owner.first))
                << owner.first << owner.second << QByteArray("{ \"a\": ");
            QTest::addRow("%s not an object", qPrintable(owner.first))
                << owner.first << owner.second << QByteArray("[]");
            QTest::addRow("%s missing", qPrintable(owner.first)) << owner.first << owner.second << QByteArray();
        }
    }

    void dataFilesAreRestoredFromTheirBackup()
    {
        QFETCH(QString, className);
        QFETCH(QString, file);
        QFETCH(QByteArray, damage);
        if (damage.isEmpty()) {
            QVERIFY(QFile::remove(m_root->file(file)));
        } else {
            QVERIFY(m_root->writeFile(file, damage));
        }

        LogCapture log;
        const QVariantMap loaded = loadFresh(className);
        QVERIFY(log.contains(
            QStringLiteral("%1::load ERROR: reading %2 failed => try restore.").arg(className, m_root->file(file))));
        QVERIFY(log.contains(className + QStringLiteral("::load INFO: Restore succeded!")));
        QVERIFY(!loaded.isEmpty());
        QCOMPARE(m_root->readFile(file), m_root->readFile(backupOf(file)));
    }

    void bothCopiesLostLeaveAnEmptyList()
    {
        QVERIFY(QFile::remove(m_root->file(parameterListFile)));
        QVERIFY(QFile::remove(m_root->file(backupOf(parameterListFile))));
        LogCapture log;
        const ParameterList lost(m_file, m_file);
        QVERIFY(log.contains(QStringLiteral("ParameterList::load CRITICAL: Restore failed!")));
        QVERIFY(lost.getParameterList().isEmpty());
        const QStringList names = m_parameters->getParameterList().keys();
        for (const QString& name : names) {
            QVERIFY2(!lost.getStored(name), qPrintable(name));
        }
    }

    void docSettingKeysOfTheShippedList_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");

        // Codes do not follow key order ("UK" sorts after "US" but has the higher code).
        QTest::newRow("legacy 3") << "Braille language" << 3 << "English/US_computer_6_dot.ebc";
        QTest::newRow("legacy 5") << "Braille language" << 5 << "English/UK_computer_6_dot.ebc";
        QTest::newRow("liblouis last") << "Liblouis table" << 17 << "Japanese/kantenji";
        QTest::newRow("code absent") << "Liblouis table" << 0 << "";
        QTest::newRow("code of another group") << "Braille language" << 17 << "";
        QTest::newRow("group absent") << "No such group" << 1 << "";
        QTest::newRow("group case") << "braille language" << 3 << "";
    }

    void docSettingKeysOfTheShippedList()
    {
        QFETCH(QString, group);
        QFETCH(int, code);
        QFETCH(QString, expected);
        const DocSettingList list(m_file);
        QCOMPARE(list.returnDocSettingKey(group, code), expected);
    }

    void aCodeUnderTwoKeysAnswersTheFirstKey()
    {
        // Written in reverse order: the answer must come from key order, not file order.
        QVERIFY(m_root->writeFile(docSettingListFile,
            "{ \"Group\": { \"zulu\": 2, \"bravo\": 2, \"alpha\": 1, \"charlie\": 2 }, \"Other\": { \"x\": 2 } }"));
        const DocSettingList list(m_file);
        QCOMPARE(list.returnDocSettingKey(QStringLiteral("Group"), 2), QStringLiteral("bravo"));
        QCOMPARE(list.returnDocSettingKey(QStringLiteral("Group"), 1), QStringLiteral("alpha"));
        QCOMPARE(list.returnDocSettingKey(QStringLiteral("Other"), 2), QStringLiteral("x"));
    }

    // Every duplex mode, cell height and line spacing picks its own one of the eight pitches.
    void lineToLineKeys_data()
    {
        QTest::addColumn<int>("duplexMode");
        QTest::addColumn<int>("cellDots");
        QTest::addColumn<int>("lineSpacing");
        QTest::addColumn<double>("expected");

        const QList<int> singleSided { 1, 5, 7, 8, 10, 12 };
        for (int mode = 0; mode <= 13; ++mode) {
            QTest::addRow("duplex %d", mode) << mode << 6 << 1 << (singleSided.contains(mode) ? 11.0 : 10.0);
        }
        QTest::newRow("8 dots") << 2 << 8 << 1 << 30.0;
        QTest::newRow("double spacing") << 2 << 6 << 2 << 20.0;
        QTest::newRow("8 dots double spacing") << 2 << 8 << 2 << 40.0;
        QTest::newRow("8 dots single sided") << 1 << 8 << 1 << 31.0;
        QTest::newRow("8 dots double spacing continuous") << 12 << 8 << 2 << 41.0;
        QTest::newRow("8 dots double spacing mode 13") << 13 << 8 << 2 << 40.0;
        QTest::newRow("spacing other than 1 is double") << 2 << 6 << 0 << 20.0;
        QTest::newRow("dots other than 8 are 6") << 2 << 7 << 1 << 10.0;
    }

    void lineToLineKeys()
    {
        QFETCH(int, duplexMode);
        QFETCH(int, cellDots);
        QFETCH(int, lineSpacing);
        QFETCH(double, expected);
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        QCOMPARE(dimensions->getLineToLine(1, duplexMode, cellDots, lineSpacing, 1, 0.0, -5.0, 5.0), expected);
    }

    void lineToLineClampsTheTextAdjustment_data()
    {
        QTest::addColumn<int>("precision");
        QTest::addColumn<double>("adjustment");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("expected");

        QTest::newRow("inside") << 1 << 0.35 << 0.0 << 5.0 << 1 << 10.35;
        QTest::newRow("above the maximum") << 1 << 0.9 << -5.0 << 5.0 << 1 << 10.5;
        QTest::newRow("below the minimum") << 1 << -0.9 << -5.0 << 5.0 << 1 << 9.5;
        QTest::newRow("below a zero minimum") << 1 << -0.2 << 0.0 << 5.0 << 1 << 10.0;
        QTest::newRow("precision 0") << 0 << 0.9 << -5.0 << 5.0 << 1 << 10.9;
        QTest::newRow("precision 0 clamps") << 0 << 7.0 << -5.0 << 5.0 << 1 << 15.0;
        QTest::newRow("negative precision scales by 1") << -2 << 7.0 << -5.0 << 5.0 << 1 << 15.0;
        QTest::newRow("precision 2") << 2 << 0.9 << -5.0 << 5.0 << 1 << 10.05;
        QTest::newRow("graphics ignores it") << 1 << 0.35 << 0.0 << 5.0 << 2 << 210.0;
        QTest::newRow("graphics ignores a negative one") << 1 << -0.4 << -5.0 << 5.0 << 2 << 210.0;
        QTest::newRow("other cell sizes ignore it") << 1 << 0.35 << 0.0 << 5.0 << 4 << 110.0;
    }

    void lineToLineClampsTheTextAdjustment()
    {
        QFETCH(int, precision);
        QFETCH(double, adjustment);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(int, type);
        QFETCH(double, expected);
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        QCOMPARE(dimensions->getLineToLine(precision, 2, 6, 1, type, adjustment, minimum, maximum), expected);
    }

    void lineToLineOfAMissingPitchIsUnusable()
    {
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        LogCapture log;
        QCOMPARE(dimensions->getLineToLine(1, 2, 6, 1, 42, 0.3, -5.0, 5.0), -1.0);
        QVERIFY(log.contains(QStringLiteral("BrlDimension::getDouble FAILED! for lineToLine")));
        log.clear();
        QCOMPARE(dimensions->getLineToLine(1, 2, 6, 1, 7, 0.3, -5.0, 5.0), -1.0);
        QVERIFY(log.contains(QStringLiteral("BrlDimension::getDouble FAILED! for lineToLine")));
    }

    // The D-Bus form: list positions converted through the enumerations, not used as numbers.
    void lineToLineFromLayoutTexts_data()
    {
        QTest::addColumn<QString>("cellSize");
        QTest::addColumn<QString>("duplexing");
        QTest::addColumn<QString>("cellDots");
        QTest::addColumn<QString>("lineSpacing");
        QTest::addColumn<double>("adjustment");
        QTest::addColumn<double>("expected");

        QTest::newRow("adjusted text cell") << "Marburg Medium"
                                            << "Double sided"
                                            << "6 dots"
                                            << "Single" << 0.35 << 10.35;
        QTest::newRow("clamped") << "Marburg Medium"
                                 << "Double sided booklet"
                                 << "8 dots"
                                 << "Single" << 0.9 << 30.5;
        QTest::newRow("single sided") << "Marburg Medium"
                                      << "Single sided"
                                      << "6 dots"
                                      << "Single" << 0.0 << 11.0;
        QTest::newRow("manual double sided") << "Marburg Medium"
                                             << "Manual double sided"
                                             << "8 dots"
                                             << "Double" << 0.0 << 41.0;
        QTest::newRow("continuous") << "Marburg Medium"
                                    << "Single sided continuous"
                                    << "8 dots"
                                    << "Single" << 0.0 << 31.0;
        QTest::newRow("mini z-folding") << "Marburg Medium"
                                        << "Double sided mini z-folding"
                                        << "6 dots"
                                        << "Double" << 0.0 << 20.0;
        QTest::newRow("unlisted duplexing") << "Marburg Medium"
                                            << "Sideways"
                                            << "6 dots"
                                            << "Single" << 0.0 << 10.0;
        QTest::newRow("other cell size") << "US Standard"
                                         << "Double sided"
                                         << "6 dots"
                                         << "Single" << 0.35 << 110.0;
        QTest::newRow("interline") << "Interline"
                                   << "Single sided z-folding"
                                   << "8 dots"
                                   << "Single" << 0.0 << 321.0;
        QTest::newRow("not a braille cell size") << "Graphics"
                                                 << "Double sided"
                                                 << "6 dots"
                                                 << "Single" << 0.0 << -1.0;
    }

    void lineToLineFromLayoutTexts()
    {
        QFETCH(QString, cellSize);
        QFETCH(QString, duplexing);
        QFETCH(QString, cellDots);
        QFETCH(QString, lineSpacing);
        QFETCH(double, adjustment);
        QFETCH(double, expected);
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        QCOMPARE(
            dimensions->getLineToLine(adjustment, 1, -5.0, 5.0, cellSize, duplexing, cellDots, lineSpacing), expected);
    }

    void interlineBackRowOffsets_data()
    {
        QTest::addColumn<QString>("dots");
        QTest::addColumn<QString>("size");
        QTest::addColumn<double>("expected");

        QTest::newRow("8 dots") << "8 dots"
                                << "Interline" << 8.0;
        QTest::newRow("6 dots") << "6 dots"
                                << "Interline" << 6.5;
        QTest::newRow("other case") << "8 DOTS"
                                    << "Interline" << 6.5;
        QTest::newRow("empty") << ""
                               << "Interline" << 6.5;
        QTest::newRow("unknown size") << "8 dots"
                                      << "Nowhere" << -1.0;
    }

    void interlineBackRowOffsets()
    {
        QFETCH(QString, dots);
        QFETCH(QString, size);
        QFETCH(double, expected);
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        QCOMPARE(dimensions->getInterlineBackRowOffset(dots, size), expected);
    }

    void interlineFlag()
    {
        const auto dimensions = pitchFixture();
        QVERIFY(dimensions);
        QVERIFY(dimensions->getIsInterline(QStringLiteral("Interline")));
        QVERIFY(!dimensions->getIsInterline(QStringLiteral("Marburg Medium")));
        LogCapture log;
        QVERIFY(!dimensions->getIsInterline(QStringLiteral("Enhanced Line Spacing")));
        QVERIFY(!dimensions->getIsInterline(QStringLiteral("Nowhere")));
        QCOMPARE(log.count(QStringLiteral("BrlDimension::getIsInterline FAILED! for interLine")), 2);
    }

    void lookupsThatAreNoDistance_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("key");

        QTest::newRow("unknown size") << "Nowhere"
                                      << "cellToCell";
        QTest::newRow("unknown key") << "Marburg Medium"
                                     << "cellPitch";
        QTest::newRow("a text") << "Marburg Medium"
                                << "eBrailleDimensionType";
        QTest::newRow("a flag") << "Marburg Medium"
                                << "interLine";
    }

    void lookupsThatAreNoDistance()
    {
        QFETCH(QString, size);
        QFETCH(QString, key);
        const BrlDimension dimensions(m_file, *m_values);
        LogCapture log;
        QCOMPARE(dimensions.getDouble(size, key), -1.0);
        QVERIFY(log.contains(QStringLiteral("BrlDimension::getDouble FAILED! for ") + key));
    }

    // Each braille cell size answers the same pitch by name and by the dimension type its list
    // position converts to, and that pitch is the one its value list advertises.
    void cellPitchesOfTheShippedSizes()
    {
        const BrlDimension dimensions(m_file, *m_values);
        const QVariantList sizes = m_values->getValues(lcm::RowValueList::BrailleCellSize);
        QVERIFY(!sizes.isEmpty());
        for (int position = 0; position < sizes.size(); ++position) {
            const QVariantMap entry = sizes.at(position).toMap();
            const QString size = entry.value(QStringLiteral("description")).toString();
            const double pitch = entry.value(QStringLiteral("floatValue")).toDouble();
            const int type = lcm::EnumDetail::valueAt("BrailleDimension", position);
            QVERIFY2(type > 0, qPrintable(size));
            QCOMPARE(dimensions.getCellToCell(size), pitch);
            QCOMPARE(dimensions.getCellToCell(type), pitch);
            QVERIFY2(dimensions.getHorizontalDotToDot(size) > 0.0, qPrintable(size));
            QVERIFY2(dimensions.getVerticalDotToDot(size) > 0.0, qPrintable(size));
        }
        QCOMPARE(dimensions.getCellToCell(int(lcm::BrailleDimensionType::Graphics)), 5.0);
    }

    void parameterValuesOfTheShippedLayouts_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("floatValue");

        QTest::newRow("line spacing") << "1"
                                      << "Braille line spacing" << 0 << 5.0;
        QTest::newRow("cell size 1") << "1"
                                     << "Braille cell size" << 0 << 6.0;
        QTest::newRow("cell size 3") << "3"
                                     << "Braille cell size" << 2 << 6.2;
        QTest::newRow("cell size 6") << "6"
                                     << "Braille cell size" << 6 << 5.2;
        QTest::newRow("graphic cell size") << "1"
                                           << "Graphic cell size" << 8 << 5.0;
        QTest::newRow("8 dots") << "5"
                                << "Braille cell dots" << 1 << -1.0;
        QTest::newRow("double sided") << "1"
                                      << "Duplexing" << 1 << -1.0;
        QTest::newRow("single sided") << "2"
                                      << "Duplexing" << 0 << -1.0;
        QTest::newRow("paper") << "4"
                               << "Paper size" << 5 << -1.0;
        QTest::newRow("region") << "3"
                                << "Region" << 2 << -1.0;
        QTest::newRow("empty list") << "1"
                                    << "Braille language" << -1 << -1.0;
    }

    void parameterValuesOfTheShippedLayouts()
    {
        QFETCH(QString, layout);
        QFETCH(QString, parameter);
        QFETCH(int, position);
        QFETCH(double, floatValue);
        const ParameterValues values(*m_values, *m_parameters);
        QCOMPARE(values.getIntValue(layout, parameter), position);
        QCOMPARE(values.getFloatValue(layout, parameter), floatValue);
    }

    void parameterValuesErrors_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("message");

        QTest::newRow("not stored") << "1"
                                    << "Paper width"
                                    << "Parameter Paper width not found in the layout!";
        QTest::newRow("no such layout") << "42"
                                        << "Duplexing"
                                        << "Parameter Duplexing not found in the layout!";
        QTest::newRow("not a number") << "../layout.1"
                                      << "Duplexing"
                                      << "Parameter Duplexing not found in the layout!";
        QTest::newRow("text parameter") << "1"
                                        << "Layout name"
                                        << "Value list for Layout name not found!";
        QTest::newRow("numeric parameter") << "1"
                                           << "Line per page"
                                           << "Value list for Line per page not found!";
    }

    void parameterValuesErrors()
    {
        QFETCH(QString, layout);
        QFETCH(QString, parameter);
        QFETCH(QString, message);
        const ParameterValues values(*m_values, *m_parameters);
        LogCapture log;
        QCOMPARE(values.getIntValue(layout, parameter), -1);
        QCOMPARE(values.getFloatValue(layout, parameter), -1.0);
        QVERIFY2(log.contains(QStringLiteral("ParameterValues::getIntValue ERROR: ") + message),
            qPrintable(log.messages().join(QLatin1Char('\n'))));
        QVERIFY(log.contains(QStringLiteral("ParameterValues::getFloatValue ERROR: ") + message));
    }

    void parameterValuesReadTheFileOnEveryCall()
    {
        const QString layout7 = QStringLiteral("/var/lib/embosser/layout.7");
        const ParameterValues values(*m_values, *m_parameters);
        QVERIFY(m_root->writeFile(layout7, "{ \"Braille line spacing\": \"Double\" }"));
        QCOMPARE(values.getIntValue(QStringLiteral("7"), QStringLiteral("Braille line spacing")), 1);
        QCOMPARE(values.getFloatValue(QStringLiteral("7"), QStringLiteral("Braille line spacing")), 10.0);

        // A value its list does not hold has no position and no number.
        QVERIFY(m_root->writeFile(layout7, "{ \"Braille line spacing\": \"Triple\" }"));
        QCOMPARE(values.getIntValue(QStringLiteral("7"), QStringLiteral("Braille line spacing")), -1);
        QCOMPARE(values.getFloatValue(QStringLiteral("7"), QStringLiteral("Braille line spacing")), -1.0);
        QVERIFY(QFile::remove(m_root->file(layout7)));
    }

    void layoutFileReads()
    {
        QVariantMap data;
        QVERIFY(LayoutFile(1).read(data));
        QCOMPARE(data.value(QStringLiteral("Layout name")).toString(), QStringLiteral("A4 Double sided"));
        QString value;
        QVERIFY(LayoutFile(5).read(QStringLiteral("Braille cell dots"), value));
        QCOMPARE(value, QStringLiteral("8 dots"));

        LogCapture log;
        QVERIFY(!LayoutFile(50).read(data));
        QVERIFY(data.isEmpty());
        QVERIFY(log.contains(QStringLiteral("LayoutFile::read ERROR: no data found in the layout file.")));
        const QString empty = QStringLiteral("/var/lib/embosser/layout.8");
        QVERIFY(m_root->writeFile(empty, "{}"));
        log.clear();
        QVERIFY(!LayoutFile(8).read(data));
        QVERIFY(log.contains(QStringLiteral("LayoutFile::read ERROR: no data found in the layout file.")));
        QVERIFY(QFile::remove(m_root->file(empty)));
    }
};

QTEST_GUILESS_MAIN(TestLayoutMeta)
#include "tst_layout_meta.moc"
