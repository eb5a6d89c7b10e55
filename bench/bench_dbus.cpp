// Speed of the service over D-Bus, printed as ratios against a floor measured in the same run:
// the same calls answered by an empty QtDBus service (bench_echo_service) on the same private bus.
// Also the start-up: from starting the process to the service watcher's "ready", against the time
// the empty service needs to own its name. Last, the Layout command through process with 99
// layouts, against the empty service giving the same answer to the same request, alone and with
// the file work of the operation (reading and parsing the same files, writing the same bytes).
//   bench_dbus [iterations]      (CM_SOURCE_DIR / CM_BINARY_DIR override the compiled-in trees)

#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"
#include "libcorvane/AtomicFile.h"
#include "libcorvane/DBusArgumentUnpack.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

// Several calls in alternating rounds; nanoseconds per call of each.
QVector<double> alternating(int iterations, const QVector<std::function<bool()>>& calls)
{
    const int rounds = 10;
    QVector<double> totals(calls.size(), 0.0);
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < calls.size(); ++i) {
            const double each = perCall(qMax(1, iterations / rounds), calls.at(i));
            if (each < 0) {
                return {};
            }
            totals[i] += each / rounds;
        }
    }
    return totals;
}

bool parsed(const QStringList& files)
{
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || QJsonDocument::fromJson(file.readAll()).object().isEmpty()) {
            return false;
        }
    }
    return true;
}

bool answered(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "%s\n", qPrintable(reply.errorMessage()));
        return false;
    }
    return true;
}

QVariantMap layoutRequest(const QString& subCommand, const QVariantMap& arguments = {})
{
    QVariantMap request = arguments;
    request.insert(QStringLiteral("commandId"), QStringLiteral("Layout"));
    request.insert(QStringLiteral("subCommandId"), subCommand);
    request.insert(QStringLiteral("senderId"), QStringLiteral("Panel"));
    return request;
}

QVariantMap answerOf(QDBusInterface& service, const QVariantMap& request)
{
    const QDBusReply<QVariantMap> reply = service.call(QStringLiteral("process"), request);
    if (!reply.isValid() || reply.value().value(QStringLiteral("resultId")) != QStringLiteral("Success")) {
        return {};
    }
    return libcorvane::dbusArgumentUnpack(reply.value());
}

// The Layout command with 99 layouts: each request against the empty service answering it with
// the same answer, and against that plus the reading, parsing or writing of the same files.
bool layoutCommand(const TestRoot& root, QDBusInterface& service, QDBusInterface& floor, int iterations)
{
    QStringList files;
    for (int n = 1; n <= 99; ++n) {
        const QString path = root.file(QStringLiteral("/var/lib/embosser/layout.%1").arg(n));
        if (n > 6
            && !QFile::copy(root.file(QStringLiteral("/var/lib/embosser/layout.%1").arg((n - 1) % 6 + 1)), path)) {
            std::fprintf(stderr, "bench_dbus: cannot add layout %d\n", n);
            return false;
        }
        files << path;
    }
    const QVariantMap layout5
        = answerOf(service, layoutRequest(QStringLiteral("ReadLayout"), { { QStringLiteral("layoutNr"), 5 } }))
              .value(QStringLiteral("layoutData"))
              .toMap();
    // The two language metadata files that give a layout's table display names.
    const auto metadataOf = [&](const QVariantMap& layout) {
        const QString legacy = layout.value(QStringLiteral("Braille language")).toString().section('/', 0, 0);
        const QString liblouis = layout.value(QStringLiteral("Liblouis table")).toString().section('/', 0, 0);
        return QStringList { root.file(QStringLiteral("/usr/share/embosser/tables/%1/%1.json").arg(legacy)),
            root.file(QStringLiteral("/usr/share/embosser/liblouis/%1/%1.json").arg(liblouis)) };
    };
    QStringList allFiles = files;
    for (int n = 1; n <= 6; ++n) {
        const QVariantMap layout
            = answerOf(service, layoutRequest(QStringLiteral("ReadLayout"), { { QStringLiteral("layoutNr"), n } }))
                  .value(QStringLiteral("layoutData"))
                  .toMap();
        for (const QString& metadata : metadataOf(layout)) {
            if (!allFiles.contains(metadata)) {
                allFiles << metadata;
            }
        }
    }
    const QString file5 = files.at(4);
    const QStringList files5 = QStringList { file5 } + metadataOf(layout5);
    QFile stored(file5);
    const QByteArray bytes5 = stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray();

    struct Figure {
        const char* name;
        QVariantMap request;
        int iterations;
        std::function<bool()> files;
        const char* filesText;
    };
    const int heavy = qMax(20, iterations / 20);
    const QList<Figure> figures {
        { "GetActive", layoutRequest(QStringLiteral("GetActive")), iterations, nullptr, "none" },
        { "ReadLayout(5)", layoutRequest(QStringLiteral("ReadLayout"), { { QStringLiteral("layoutNr"), 5 } }),
            iterations / 4, [&] { return parsed(files5); }, "read and parse layout.5 and its tables' metadata" },
        { "ReadAllLayouts (99 layouts)", layoutRequest(QStringLiteral("ReadAllLayouts")), heavy,
            [&] { return parsed(allFiles); }, "read and parse the 99 files and their tables' metadata" },
        { "WriteLayout(5)",
            layoutRequest(QStringLiteral("WriteLayout"),
                { { QStringLiteral("layoutNr"), 5 }, { QStringLiteral("layoutData"), layout5 } }),
            heavy, [&] { return libcorvane::AtomicFile::write(file5, bytes5); }, "atomic write of the same bytes" },
        { "GetPropertyValues(Line per page)",
            layoutRequest(QStringLiteral("GetPropertyValues"),
                { { QStringLiteral("layoutData"), layout5 },
                    { QStringLiteral("propertyName"), QStringLiteral("Line per page") } }),
            iterations / 4, nullptr, "none (reads no file)" },
    };
    std::printf("\nprocess, command Layout, 99 layouts; floor: the empty service giving the same answer to the "
                "same request\n");
    std::printf("%-34s %10s %10s %8s %10s %12s  %s\n", "sub-command", "us/call", "floor us", "x floor", "files us",
        "x floor+files", "files");
    for (const Figure& figure : figures) {
        const QVariantMap answer = answerOf(service, figure.request);
        if (layout5.isEmpty() || answer.isEmpty() || !answered(floor.call(QStringLiteral("setAnswer"), answer))) {
            std::fprintf(stderr, "bench_dbus: %s failed\n", figure.name);
            return false;
        }
        const QVector<double> each = alternating(figure.iterations,
            { [&] { return answered(service.call(QStringLiteral("process"), figure.request)); },
                [&] { return answered(floor.call(QStringLiteral("respond"), figure.request)); },
                figure.files ? figure.files : [] { return true; } });
        if (each.isEmpty()) {
            std::fprintf(stderr, "bench_dbus: %s failed\n", figure.name);
            return false;
        }
        const double files = figure.files ? each.at(2) : 0.0;
        std::printf("%-34s %10.1f %10.1f %8.2f %10.1f %12.2f  %s\n", figure.name, each.at(0) / 1000, each.at(1) / 1000,
            each.at(0) / each.at(1), files / 1000, each.at(0) / (each.at(1) + files), figure.filesText);
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

    if (!layoutCommand(root, service, floor, iterations)) {
        return 1;
    }
    echo.terminate();
    echo.waitForFinished(5000);
    return 0;
}
