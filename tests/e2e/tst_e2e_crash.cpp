// The service killed with SIGKILL in the middle of saving, round after round: every settings file
// must still be a whole JSON object whose values fit their definitions, and the service must come
// up again on what it left. bench/crash-probe runs the same rounds for longer.
#include "CrashProbe.h"
#include "PrivateBus.h"
#include "SettingsFileCheck.h"
#include "TestRoot.h"

#include <QTest>

class TestE2eCrash : public QObject {
    Q_OBJECT

private slots:
    void settingsFilesSurviveKillsWhileSaving()
    {
        TestRoot root;
        PrivateBus bus;
        QVERIFY(root.isValid() && bus.isValid());
        QCOMPARE(SettingsFileCheck(root.path()).problems(), QStringList());
        const QByteArray shippedCounters = root.readFile(QStringLiteral("/var/lib/embosser/counters"));
        const quint32 seed = 20240611;
        qInfo("seed %u, 24 rounds", seed);
        CrashProbe probe(root.path(), seed);
        while (probe.rounds() < 24) {
            const QStringList faults = probe.round();
            QVERIFY2(
                faults.isEmpty(), qPrintable(QStringLiteral("round %1: ").arg(probe.rounds()) + faults.join('\n')));
        }
        const QString failure = probe.comesUp();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // The kills did not all land before the first save.
        QVERIFY(root.readFile(QStringLiteral("/var/lib/embosser/counters")) != shippedCounters);
    }
};

QTEST_GUILESS_MAIN(TestE2eCrash)
#include "tst_e2e_crash.moc"
