// The service killed with SIGKILL in the middle of saving, round after round: every settings file
// must still be a whole JSON object whose values fit their definitions, and the service must come
// up again on what it left. bench/crash-probe runs the same rounds for longer.
#include "CrashProbe.h"
#include "PrivateBus.h"
#include "SettingsFileCheck.h"
#include "TestRoot.h"

#include <QTest>

#include <memory>

class TestE2eCrash : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        QCOMPARE(SettingsFileCheck(m_root->path()).problems(), QStringList());
    }

    void cleanupTestCase()
    {
        m_bus.reset();
        m_root.reset();
    }

    void settingsFilesSurviveKillsWhileSaving()
    {
        const quint32 seed = 20240611;
        const int rounds = 24;
        qInfo("seed %u, %d rounds", seed, rounds);
        const QByteArray shippedCounters = m_root->readFile(QStringLiteral("/var/lib/embosser/counters"));
        CrashProbe probe(m_root->path(), seed);
        while (probe.rounds() < rounds) {
            QVERIFY2(probe.round(), qPrintable(probe.lastFailure()));
            QVERIFY2(probe.lastProblems().isEmpty(),
                qPrintable(QStringLiteral("round %1:\n").arg(probe.rounds()) + probe.lastProblems().join('\n')));
        }
        QVERIFY2(probe.comesUp(), qPrintable(probe.lastFailure()));
        // The kills did not all land before the first save.
        QVERIFY(m_root->readFile(QStringLiteral("/var/lib/embosser/counters")) != shippedCounters);
        const QStringList stray = probe.strayFiles();
        if (!stray.isEmpty()) {
            qInfo().noquote() << "left behind by interrupted writes:" << stray.join(QLatin1Char(' '));
        }
    }
};

QTEST_GUILESS_MAIN(TestE2eCrash)
#include "tst_e2e_crash.moc"
