// Speed of the layout store with all 99 layouts, printed as ratios against floors measured in the
// same run: reading every layout with its extra data, and the start-up check of every layout,
// against reading and parsing the same files; writing one layout against an atomic write of the
// same bytes; and the start-up of the service with the 6 shipped layouts and with 99 (wall time,
// and its own CPU time from /proc, its children excluded) against the empty QtDBus service, plus
// one parse of the data set the service reads for the CPU time.
//   bench_layouts [rounds]      (CM_SOURCE_DIR / CM_BINARY_DIR override the compiled-in trees)

#include "ConfigurationManager.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"
#include "layout/LayoutSettings.h"
#include "libcorvane/AtomicFile.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double perRound(int rounds, const std::function<void()>& body)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        body();
    }
    return double(timer.nsecsElapsed()) / rounds;
}

// The call and its floor in alternating rounds, so that a change of load weighs on both alike.
QPair<double, double> alternating(int rounds, const std::function<void()>& call, const std::function<void()>& floor)
{
    const int blocks = 10;
    double callTotal = 0;
    double floorTotal = 0;
    for (int block = 0; block < blocks; ++block) {
        floorTotal += perRound(qMax(1, rounds / blocks), floor);
        callTotal += perRound(qMax(1, rounds / blocks), call);
    }
    return { callTotal / blocks, floorTotal / blocks };
}

// CPU time of a process so far, in nanoseconds: the run time the scheduler accounts to each of its
// threads (children excluded), which is exact where /proc/<pid>/stat counts clock ticks.
double processCpu(qint64 pid)
{
    double total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(QStringLiteral("%1/%2/schedstat").arg(tasks, task));
        if (schedstat.open(QIODevice::ReadOnly)) {
            total += schedstat.readAll().split(' ').value(0).toDouble();
        }
    }
    return total;
}

double ownCpu()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

QStringList layoutFiles(const TestRoot& root)
{
    QStringList files;
    for (int n = 1; n <= 99; ++n) {
        files << root.file(QStringLiteral("/var/lib/embosser/layout.%1").arg(n));
    }
    return files;
}

// Every JSON file the service reads at start-up: the data files, the state directory (layouts
// included) and the braille table metadata.
QStringList dataSet(const TestRoot& root)
{
    QStringList files;
    for (const QString& top : { QStringLiteral("/usr/share/configuration-manager"), QStringLiteral("/var/lib/embosser"),
             QStringLiteral("/usr/share/embosser/liblouis"), QStringLiteral("/usr/share/embosser/tables") }) {
        QDirIterator it(root.file(top), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.contains(QLatin1String("/backup/")) && !file.endsWith(QLatin1String(".ebc"))) {
                files << file;
            }
        }
    }
    return files;
}

int parseAll(const QStringList& files)
{
    int members = 0;
    for (const QString& path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            members += QJsonDocument::fromJson(file.readAll()).object().size();
        }
    }
    return members;
}

// Start-up figures of the service and of the empty service, in alternating starts: wall time until
// ready (the service watcher) or until the name is owned, and the process's own CPU time then.
struct StartUps {
    double serviceWall = 0;
    double serviceCpu = 0;
    double emptyWall = 0;
    double emptyCpu = 0;
};

bool measureStartUps(const TestRoot& root, int starts, StartUps& figures)
{
    QDBusConnectionInterface* names = QDBusConnection::systemBus().interface();
    const QString emptyName = QStringLiteral("com.corvanebraille.BenchEcho");
    for (int i = 0; i < starts; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess empty;
        empty.start(TestRoot::binaryDir() + QStringLiteral("/bench/bench_echo_service"), QStringList());
        if (!QTest::qWaitFor([&] { return names->isServiceRegistered(emptyName).value(); }, 10000)) {
            return false;
        }
        figures.emptyWall += timer.nsecsElapsed();
        figures.emptyCpu += processCpu(empty.processId());
        empty.terminate();
        empty.waitForFinished(5000);
        if (!QTest::qWaitFor([&] { return !names->isServiceRegistered(emptyName).value(); }, 5000)) {
            return false;
        }

        timer.restart();
        DaemonProcess daemon(root.path());
        if (!daemon.start() || !daemon.waitForReady()) {
            return false;
        }
        figures.serviceWall += timer.nsecsElapsed();
        figures.serviceCpu += processCpu(daemon.pid());
        daemon.stop();
        QFile::remove(root.file(QStringLiteral("/var/run/service-watcher/configuration-manager")));
    }
    for (double* figure : { &figures.serviceWall, &figures.serviceCpu, &figures.emptyWall, &figures.emptyCpu }) {
        *figure /= starts;
    }
    return true;
}

void printStartUps(const char* what, const StartUps& figures, double dataSetParse, int dataFiles)
{
    std::printf("%-44s %12.1f %12.1f %10.2f   (floor: the empty service owning its name)\n",
        qPrintable(QStringLiteral("start-up to ready, wall, %1").arg(QLatin1String(what))), figures.serviceWall / 1e6,
        figures.emptyWall / 1e6, figures.serviceWall / figures.emptyWall);
    const double floor = figures.emptyCpu + dataSetParse;
    std::printf("%-44s %12.1f %12.1f %10.2f   (floor: the empty service's CPU %.1f ms + one parse of the %d "
                "data files %.1f ms)\n",
        qPrintable(QStringLiteral("start-up to ready, own CPU, %1").arg(QLatin1String(what))), figures.serviceCpu / 1e6,
        floor / 1e6, figures.serviceCpu / floor, figures.emptyCpu / 1e6, dataFiles, dataSetParse / 1e6);
}

double parseCpu(const QStringList& files, int rounds)
{
    const double start = ownCpu();
    for (int i = 0; i < rounds; ++i) {
        parseAll(files);
    }
    return (ownCpu() - start) / rounds;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    const int starts = 5;
    QLoggingCategory::setFilterRules(QStringLiteral("*.critical=false"));
    TestRoot root;
    PrivateBus bus;
    if (!root.isValid() || !bus.isValid()) {
        std::fprintf(stderr, "bench_layouts: cannot lay out a root or start a bus\n");
        return 1;
    }

    // The shipped machine first, then 99 layouts: the shipped ones and copies of them.
    StartUps shipped;
    const QStringList shippedData = dataSet(root);
    const double shippedParse = parseCpu(shippedData, rounds);
    if (!measureStartUps(root, starts, shipped)) {
        std::fprintf(stderr, "bench_layouts: a service did not start or stop\n");
        return 1;
    }
    for (int n = 7; n <= 99; ++n) {
        const QString source = root.file(QStringLiteral("/var/lib/embosser/layout.%1").arg((n - 1) % 6 + 1));
        if (!QFile::copy(source, root.file(QStringLiteral("/var/lib/embosser/layout.%1").arg(n)))) {
            std::fprintf(stderr, "bench_layouts: cannot add layout %d\n", n);
            return 1;
        }
    }
    StartUps full;
    const QStringList fullData = dataSet(root);
    const double fullParse = parseCpu(fullData, rounds);
    if (!measureStartUps(root, starts, full)) {
        std::fprintf(stderr, "bench_layouts: a service did not start or stop\n");
        return 1;
    }

    // In process: the store against reading the same files.
    ConfigurationManager manager;
    manager.init();
    LayoutSettings& layouts = *manager.layoutSettings();
    if (layouts.readAllLayouts(true).size() != 99) {
        std::fprintf(stderr, "bench_layouts: the store does not read 99 layouts\n");
        return 1;
    }
    const QStringList files = layoutFiles(root);
    const QPair<double, double> readAll = alternating(
        rounds, [&] { layouts.readAllLayouts(true); }, [&] { parseAll(files); });
    const QPair<double, double> initialize = alternating(
        rounds, [&] { layouts.initialize(); }, [&] { parseAll(files); });
    const QVariantMap layout = layouts.readLayout(5, true);
    const QString target = root.file(QStringLiteral("/var/lib/embosser/layout.5"));
    const QByteArray bytes = root.readFile(QStringLiteral("/var/lib/embosser/layout.5"));
    const QPair<double, double> write = alternating(
        rounds, [&] { layouts.writeLayout(layout, 5); }, [&] { libcorvane::AtomicFile::write(target, bytes); });

    std::printf("in process: 99 layouts, %d rounds alternating with their floors; start-ups: %d each, alternating\n",
        rounds, starts);
    std::printf("%-44s %12s %12s %10s\n", "operation", "ms", "floor ms", "x floor");
    std::printf("%-44s %12.3f %12.3f %10.2f   (floor: read and parse the 99 files)\n", "readAllLayouts(true)",
        readAll.first / 1e6, readAll.second / 1e6, readAll.first / readAll.second);
    std::printf("%-44s %12.3f %12.3f %10.2f   (floor: read and parse the 99 files)\n", "initialize(), table lists made",
        initialize.first / 1e6, initialize.second / 1e6, initialize.first / initialize.second);
    std::printf("%-44s %12.3f %12.3f %10.2f   (floor: atomic write of the same bytes)\n", "writeLayout(one layout)",
        write.first / 1e6, write.second / 1e6, write.first / write.second);
    printStartUps("6 layouts", shipped, shippedParse, int(shippedData.size()));
    printStartUps("99 layouts", full, fullParse, int(fullData.size()));
    return 0;
}
