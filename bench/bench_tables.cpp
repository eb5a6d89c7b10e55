// Speed of the braille table lists, printed as ratios against a floor measured in the same run:
// reading and parsing every liblouis metadata file once, which any listing must do at least
// when it generates its list. Runs on a private root laid out by scripts/make-root.
//   bench_tables            (CM_SOURCE_DIR / CM_BINARY_DIR override the compiled-in trees)

#include "Locations.h"
#include "TableLists.h"
#include "TableNames.h"
#include "TableSettings.h"
#include "ls/JFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

struct Figure {
    const char* name;
    int iterations;
    double nanoseconds; // per iteration
};

double perIteration(int iterations, const std::function<void()>& body)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < iterations; ++i) {
        body();
    }
    return double(timer.nsecsElapsed()) / iterations;
}

bool makeRoot(const QString& destination)
{
    const QString source = qEnvironmentVariable("CM_SOURCE_DIR", QStringLiteral(CM_DEFAULT_SOURCE_DIR));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("CM_BINARY_DIR"), qEnvironmentVariable("CM_BINARY_DIR", QStringLiteral(CM_DEFAULT_BINARY_DIR)));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(source + QStringLiteral("/scripts/make-root"), { destination });
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.critical=false"));

    QTemporaryDir root;
    if (!root.isValid() || !makeRoot(root.path())) {
        std::fprintf(stderr, "bench_tables: scripts/make-root failed\n");
        return 1;
    }
    qputenv("CONFIGURATION_MANAGER_ROOT", root.path().toLocal8Bit());

    QStringList metadataFiles;
    const QString metadataRoot = Locations::embosserLiblouisDir();
    for (const QString& language : QDir(metadataRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString file = TableNames::languageMetadataFile(metadataRoot, language);
        if (QFile::exists(file)) {
            metadataFiles << file;
        }
    }

    ls::JFile json;
    TableSettings tables(&json, &json);
    const QString sixDotList = TableLists::liblouisListFile(6);
    int sink = 0;

    QVector<Figure> figures;
    figures.append({ "floor: read and parse every liblouis metadata file once", 50, perIteration(50, [&] {
                        for (const QString& path : qAsConst(metadataFiles)) {
                            QFile file(path);
                            file.open(QIODevice::ReadOnly);
                            sink += QJsonDocument::fromJson(file.readAll()).object().size();
                        }
                    }) });
    const double floor = figures.first().nanoseconds;

    figures.append({ "(b) first 6-dot listing, list file generated", 20, perIteration(20, [&] {
                        QFile::remove(sixDotList);
                        sink += tables.getLiblouisTables(lcm::BrailleType::SixDot).size();
                    }) });
    figures.append({ "(b) first legacy 6-dot listing, list file generated", 20, perIteration(20, [&] {
                        QFile::remove(TableLists::legacyListFile());
                        sink += tables.getLegacyTables(lcm::BrailleType::SixDot).size();
                    }) });
    figures.append({ "(c) 6-dot listing, list file present, new object", 200, perIteration(200, [&] {
                        TableSettings fresh(&json, &json);
                        sink += fresh.getLiblouisTables(lcm::BrailleType::SixDot).size();
                    }) });
    figures.append({ "(c) 6-dot listing, repeated on one object", 2000,
        perIteration(2000, [&] { sink += tables.getLiblouisTables(lcm::BrailleType::SixDot).size(); }) });

    const QVariantMap six = tables.getLiblouisTables(lcm::BrailleType::SixDot);
    const QVariantMap eight = tables.getLiblouisTables(lcm::BrailleType::EightDot);
    const int calls = six.size() + eight.size();
    const double validation = perIteration(20, [&] {
        for (auto it = six.cbegin(); it != six.cend(); ++it) {
            sink += tables.validateLiblouisTable(lcm::BrailleType::SixDot, it.key());
        }
        for (auto it = eight.cbegin(); it != eight.cend(); ++it) {
            sink += tables.validateLiblouisTable(lcm::BrailleType::EightDot, it.key());
        }
    });
    figures.append({ "(d) validation of every listed table, one pass", 20, validation });

    std::printf("bench_tables: %d metadata files, %d six-dot and %d eight-dot tables listed (%d)\n",
        int(metadataFiles.size()), int(six.size()), int(eight.size()), sink > 0 ? 1 : 0);
    std::printf("%-58s %6s %12s %10s\n", "measure", "iter", "per iter", "x floor");
    for (const Figure& figure : qAsConst(figures)) {
        std::printf("%-58s %6d %9.3f ms %10.3f\n", figure.name, figure.iterations, figure.nanoseconds / 1e6,
            figure.nanoseconds / floor);
    }
    std::printf("%-58s %6d %9.3f us %10.5f\n", "(d) per validation call", 20 * calls, validation / calls / 1e3,
        validation / calls / floor);
    return 0;
}
