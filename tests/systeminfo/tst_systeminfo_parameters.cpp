// The machine parameter families on the shipped data: values the flash mirrors, release times and
// sensors by id, the switches stored as texts, and the page counters of each model family.
#include "DataRow.h"
#include "LogCapture.h"
#include "MachineTest.h"

#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "systeminfo/PageCounter.h"
#include "systeminfo/Parameters.h"

#include <QTest>

namespace {
const QString parametersFile = QStringLiteral("/var/lib/embosser/parameters");
const QString countersFile = QStringLiteral("/var/lib/embosser/counters");
const QString& master = masterCollectionKey;
} // namespace

class TestSystemInfoParameters : public MachineTest {
    Q_OBJECT

private slots:
    // A value the flash mirrors is taken from the flash at start-up and written to the file, with
    // the file's other values.
    void flashValuesReachTheFile()
    {
        QVERIFY(editJson(parametersFile, [](QVariantMap& file) { file.insert("Led light", 9); }));
        QVERIFY(setFlashField("MaxCurrentForTray", "1800"));
        Machine machine;
        QCOMPARE(machine.parameters->accessor().getInt("Max current for tray", master, Q_FUNC_INFO), 1800);
        const QVariantMap file = readJson(parametersFile);
        QCOMPARE(file.value("Max current for tray").toInt(), 1800);
        QCOMPARE(file.value("Led light").toInt(), 9);
    }

    // Release times and sensors are reached by id; an id outside its list is refused, both ways.
    void idsAreCheckedAgainstTheirList_data()
    {
        QTest::addColumn<bool>("release");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");
        row("release hold", true, QString(ls::ReleaseTimeId::Hold), true);
        row("release: a timing parameter", true, "Release open delay", false);
        row("release: other case", true, "release time open", false);
        row("sensor wall", false, QString(ls::SensorStateId::WallSensor), true);
        row("sensor: a release id", false, QString(ls::ReleaseTimeId::Open), false);
        row("sensor: trailing blank", false, "Wall sensor ", false);
    }

    void idsAreCheckedAgainstTheirList()
    {
        QFETCH(bool, release);
        QFETCH(QString, id);
        QFETCH(bool, valid);
        Machine machine;
        Parameters& parameters = *machine.parameters;
        LogCapture log;
        if (release) {
            QCOMPARE(parameters.setReleaseTime(id, 345, master, true), valid);
            QCOMPARE(parameters.getReleaseTime(id, master), valid ? 345 : -1);
        } else {
            // Stored as the off text: a JSON false would read back as on.
            QCOMPARE(parameters.setSensorState(id, false, master, true), valid);
            QVERIFY(!parameters.getSensorState(id, master));
        }
        if (valid) {
            QCOMPARE(readJson(parametersFile).value(id).toString(), QString(release ? "345" : "Off"));
        } else {
            QCOMPARE(log.count(release ? "ERROR: Invalid release time id!" : "ERROR: Invalid sensor state id!"), 2);
        }
    }

    // A sensor reads off for the off text only; a switch reads no for the no text only, and
    // stores "Yes" for any non-zero value.
    void switchesReadAndStoreTheirTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("sensorOn");
        QTest::addColumn<bool>("yes");
        row("Off", "Off", false, true);
        row("off", "off", true, true);
        row("No", "No", true, false);
        row("no", "no", true, true);
    }

    void switchesReadAndStoreTheirTexts()
    {
        QFETCH(QString, stored);
        QFETCH(bool, yes);
        const QString wait = "Wait before printing next document";
        const QString spacing = "Use adjustable linespacing";
        Machine machine;
        Parameters& parameters = *machine.parameters;
        // As a hand-edited file would hold them: the setters store only the exact texts.
        for (const QString& name : { QString(ls::SensorStateId::CoverSensor), wait, spacing }) {
            machine.store("parameters", name, stored);
        }
        QTEST(parameters.getSensorState(ls::SensorStateId::CoverSensor, master), "sensorOn");
        QCOMPARE(parameters.getUseAdjustableLinespacing(master), yes);
        QCOMPARE(parameters.getWaitBeforePrinting(master), yes ? 1 : 0);

        parameters.setWaitBeforePrinting(yes ? -3 : 0, master, true);
        parameters.setUseAdjustableLinespacing(!yes, master, true);
        const QVariantMap file = readJson(parametersFile);
        QCOMPARE(file.value(wait).toString(), QString(yes ? "Yes" : "No"));
        QCOMPARE(file.value(spacing).toString(), QString(yes ? "No" : "Yes"));
    }

    void activeCountersFollowTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QVector<int>>("active");
        using Ids = QVector<int>;
        row("Alvero-D V5", "Corvane Alvero-D V5", Ids { 1 });
        row("Tormel-D V5", "Corvane Tormel-D V5", Ids { 1 });
        row("Varnex V5", "Corvane Varnex V5", Ids { 1, 2, 3 });
        row("Plisto-D", "Corvane Plisto-D", Ids { 1, 2, 3 });
        row("Plisto+", "Corvane Plisto+", Ids { 1, 2, 3, 4, 5 });
        row("Zentra", "Corvane Zentra", Ids());
        row("other case", "corvane plisto+", Ids());
    }

    // Each page counts once on every active counter; the file keys are the counters' own names.
    void activeCountersFollowTheModel()
    {
        QFETCH(QString, model);
        QFETCH(QVector<int>, active);
        const QStringList names { "Page Counter", "Page Counter 2", "Page Counter 3", "Page Counter 4",
            "Page Counter 5" };
        QVERIFY(editJson(countersFile, [&](QVariantMap& counters) {
            for (int id = 1; id <= names.size(); ++id) {
                counters.insert(names.at(id - 1), id * 10);
            }
        }));
        Machine machine;
        PageCounter& counters = *machine.pageCounter;
        counters.setModel(model);
        counters.incrementPageCounter(master);
        counters.incrementPageCounter(master);
        // Ids outside 1 to 5 are refused.
        LogCapture log;
        QCOMPARE(counters.getCounter(6, master), -1);
        QVERIFY(!counters.setCounter(9, 0, master, true));
        QCOMPARE(log.count("Invalid page counter id!"), 2);
        const QVariantMap file = readJson(countersFile);
        for (int id = 1; id <= names.size(); ++id) {
            const int expected = id * 10 + (active.contains(id) ? 2 : 0);
            QCOMPARE(counters.getCounter(id, master), expected);
            QCOMPARE(file.value(names.at(id - 1)).toInt(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoParameters)
#include "tst_systeminfo_parameters.moc"
