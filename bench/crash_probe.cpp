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
    const int rounds = arguments.size() > 1 ? arguments.at(1).toInt() : 900;
    const quint32 seed = arguments.size() > 2 ? arguments.at(2).toUInt() : quint32(QDateTime::currentMSecsSinceEpoch());
    if (rounds < 1) {
        std::fprintf(stderr, "usage: crash-probe [rounds] [seed]\n");
        return 2;
    }
    TestRoot root;
    PrivateBus bus;
    if (!root.isValid() || !bus.isValid()) {
        std::fprintf(stderr, "crash-probe: no root or no private bus\n");
        return 2;
    }
    std::printf("crash-probe: %d rounds, seed %u\n", rounds, seed);
    std::fflush(stdout);

    CrashProbe probe(root.path(), seed);
    bool cameUp = true;
    while (cameUp && probe.rounds() < rounds) {
        cameUp = probe.round();
        for (const QString& problem : probe.lastProblems()) {
            std::printf("round %d: %s\n", probe.rounds(), qPrintable(problem));
        }
        if (probe.rounds() % 100 == 0) {
            std::printf("%d rounds\n", probe.rounds());
            std::fflush(stdout);
        }
    }
    cameUp = cameUp && probe.comesUp();
    if (!cameUp) {
        std::printf("%s\n", qPrintable(probe.lastFailure()));
    }
    std::printf("rounds run: %d, files that failed to parse: %d, values that do not fit: %d, stray files: %d, "
                "service came up: %s\n",
        probe.rounds(), probe.unparsableFiles(), probe.badValues(), int(probe.strayFiles().size()),
        cameUp ? "yes" : "no");
    return cameUp && probe.unparsableFiles() == 0 && probe.badValues() == 0 ? 0 : 1;
}
