// Speed of the service over D-Bus, printed as ratios against a floor measured in the same run:
// the same calls answered by an empty QtDBus service (bench_echo_service) on the same private bus.
// Also the start-up: from starting the process to the service watcher's "ready", against the time
// the empty service needs to own its name.
//   bench_dbus [iterations]      (CM_SOURCE_DIR / CM_BINARY_DIR override the compiled-in trees)

#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QPair>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {

double perCall(int iterations, const std::function<bool()>& call)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < iterations; ++i) {
        if (!call()) {
            return -1;
        }
    }
    return double(timer.nsecsElapsed()) / iterations;
}

// The call and its floor in alternating rounds, so that a change of the machine's load during
// the run weighs on both alike. Returns {call, floor} in nanoseconds per call.
QPair<double, double> alternating(int iterations, const std::function<bool()>& call, const std::function<bool()>& floor)
{
    const int rounds = 10;
    double callTotal = 0;
    double floorTotal = 0;
    for (int round = 0; round < rounds; ++round) {
        floorTotal += perCall(iterations / rounds, floor);
        callTotal += perCall(iterations / rounds, call);
    }
    return { callTotal / rounds, floorTotal / rounds };
}

bool answered(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "%s\n", qPrintable(reply.errorMessage()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int iterations = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    TestRoot root;
    PrivateBus bus;
    if (!root.isValid() || !bus.isValid()) {
        std::fprintf(stderr, "bench_dbus: cannot lay out a root or start a bus\n");
        return 1;
    }
    QDBusConnectionInterface* names = QDBusConnection::systemBus().interface();

    QElapsedTimer startUp;
    startUp.start();
    QProcess echo;
    echo.start(TestRoot::binaryDir() + QStringLiteral("/bench/bench_echo_service"), QStringList());
    if (!QTest::qWaitFor(
            [&] { return names->isServiceRegistered(QStringLiteral("com.corvanebraille.BenchEcho")).value(); },
            10000)) {
        std::fprintf(stderr, "bench_dbus: the empty service did not start\n");
        return 1;
    }
    const double echoStart = startUp.nsecsElapsed();

    startUp.restart();
    DaemonProcess daemon(root.path());
    if (!daemon.start() || !daemon.waitForReady()) {
        std::fprintf(stderr, "bench_dbus: the service did not start\n");
        return 1;
    }
    const double serviceStart = startUp.nsecsElapsed();

    QDBusInterface floor(QStringLiteral("com.corvanebraille.BenchEcho"), QStringLiteral("/"),
        QStringLiteral("com.corvanebraille.BenchEcho"), QDBusConnection::systemBus());
    QDBusInterface service(QStringLiteral("com.corvanebraille.ConfigurationManager"), QStringLiteral("/"),
        QStringLiteral("com.corvanebraille.ConfigurationManager"), QDBusConnection::systemBus());
    const QVariantMap request { { QStringLiteral("commandId"), QStringLiteral("Layout") },
        { QStringLiteral("subCommandId"), QStringLiteral("GetActive") },
        { QStringLiteral("senderId"), QStringLiteral("Panel") } };

    // A cheap read of each handler: the answer needs a directory listing or a few file tests.
    const QVariantMap paperValues { { QStringLiteral("commandId"), QStringLiteral("UserPaper") },
        { QStringLiteral("subCommandId"), QStringLiteral("GetPaperValues") },
        { QStringLiteral("senderId"), QStringLiteral("Panel") } };
    const QVariantMap userTables { { QStringLiteral("commandId"), QStringLiteral("BrailleTable") },
        { QStringLiteral("subCommandId"), QStringLiteral("GetUserTables") },
        { QStringLiteral("senderId"), QStringLiteral("Panel") } };

    const std::function<bool()> floorText = [&] { return answered(floor.call(QStringLiteral("getText"))); };
    const std::function<bool()> floorMap = [&] { return answered(floor.call(QStringLiteral("echo"), request)); };
    const std::function<bool()> floorTwoTexts = [&] { return floorText() && floorText(); };

    struct Figure {
        const char* name;
        std::function<bool()> floor;
        std::function<bool()> call;
    };
    const QList<Figure> figures {
        { "getVolume()", floorText, [&] { return answered(service.call(QStringLiteral("getVolume"))); } },
        { "getIntValue(key)", floorText,
            [&] {
                return answered(service.call(QStringLiteral("getIntValue"), QStringLiteral("Odd low pulse time")));
            } },
        { "setVolume(v) in memory", floorText,
            [&] { return answered(service.call(QStringLiteral("setVolume"), QStringLiteral("medium"))); } },
        { "getModel() + isDoubleSided()", floorTwoTexts,
            [&] {
                return answered(service.call(QStringLiteral("getModel")))
                    && answered(service.call(QStringLiteral("isDoubleSided")));
            } },
        { "getWidthForPaper(A4)", floorText,
            [&] { return answered(service.call(QStringLiteral("getWidthForPaper"), QStringLiteral("A4"))); } },
        { "process(request map)", floorMap,
            [&] { return answered(service.call(QStringLiteral("process"), request)); } },
        { "getValueList(10)", floorMap, [&] { return answered(service.call(QStringLiteral("getValueList"), 10)); } },
        { "process(UserPaper GetPaperValues)",
            [&] { return answered(floor.call(QStringLiteral("echo"), paperValues)); },
            [&] { return answered(service.call(QStringLiteral("process"), paperValues)); } },
        { "process(BrailleTable GetUserTables)",
            [&] { return answered(floor.call(QStringLiteral("echo"), userTables)); },
            [&] { return answered(service.call(QStringLiteral("process"), userTables)); } },
    };

    std::printf(
        "floor: the same call shapes answered by an empty QtDBus service, %d calls each, alternating\n", iterations);
    std::printf("%-36s %12s %12s %10s\n", "call", "us/call", "floor us", "x floor");
    for (const Figure& figure : figures) {
        const QPair<double, double> each = alternating(iterations, figure.call, figure.floor);
        if (each.first < 0 || each.second < 0) {
            std::fprintf(stderr, "bench_dbus: %s failed\n", figure.name);
            return 1;
        }
        std::printf("%-36s %12.1f %12.1f %10.2f\n", figure.name, each.first / 1000, each.second / 1000,
            each.first / each.second);
    }
    std::printf("%-36s %12.1f %10.2f   (floor: the empty service owning its name, %.1f ms)\n", "start-up to ready (ms)",
        serviceStart / 1e6, serviceStart / echoStart, echoStart / 1e6);

    echo.terminate();
    echo.waitForFinished(5000);
    return 0;
}
