// Kills the service with SIGKILL while it saves, round after round, on a fresh root and private
// bus, and checks after each round that every settings file is still a whole JSON object with
// values that fit their definitions; tests/e2e/tst_e2e_crash runs a few dozen of these rounds.
//   crash-probe [rounds] [seed]     (900 rounds by default; the seed defaults to the clock)
// Prints the faults as they are found and a summary; exits with 1 when there was any.
#include "CrashProbe.h"
#include "PrivateBus.h"
#include "TestRoot.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int rounds = arguments.value(1, QStringLiteral("900")).toInt();
    const quint32 seed = arguments.size() > 2 ? arguments.at(2).toUInt() : quint32(QDateTime::currentMSecsSinceEpoch());
    TestRoot root;
    PrivateBus bus;
    if (rounds < 1 || !root.isValid() || !bus.isValid()) {
        std::fprintf(stderr, "usage: crash-probe [rounds] [seed] (and a root and a private bus must be possible)\n");
        return 2;
    }
    std::printf("crash-probe: %d rounds, seed %u\n", rounds, seed);
    CrashProbe probe(root.path(), seed);
    int faults = 0;
    while (probe.daemonCameUp() && probe.rounds() < rounds) {
        for (const QString& fault : probe.round()) {
            std::printf("round %d: %s\n", probe.rounds(), qPrintable(fault));
            ++faults;
        }
        if (probe.rounds() % 100 == 0) {
            std::printf("%d rounds\n", probe.rounds());
        }
        std::fflush(stdout);
    }
    const QString last = probe.daemonCameUp() ? probe.comesUp() : QString();
    if (!last.isEmpty()) {
        std::printf("after the last round: %s\n", qPrintable(last));
    }
    std::printf("rounds run: %d, faults: %d, service came up: %s\n", probe.rounds(), faults,
        probe.daemonCameUp() ? "yes" : "no");
    return probe.daemonCameUp() && faults == 0 ? 0 : 1;
}
