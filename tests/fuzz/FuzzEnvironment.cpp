#include "FuzzEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QProcess>
#include <QTemporaryDir>
#include <sanitizer/lsan_interface.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QString rootPath;
// Removed at a normal exit; a run that ends by a crash leaves them in TMPDIR.
std::unique_ptr<QTemporaryDir> scratch;
std::unique_ptr<QTemporaryDir> madeRoot;

void dropMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

QString sourceDir()
{
    return qEnvironmentVariable("CM_SOURCE_DIR", QStringLiteral(CM_DEFAULT_SOURCE_DIR));
}

[[noreturn]] void stop(const QString& message)
{
    std::fprintf(stderr, "FuzzEnvironment: %s\n", qPrintable(message));
    std::exit(2);
}

QString layOutRoot()
{
    QString given = qEnvironmentVariable("CM_FUZZ_ROOT");
    if (given.isEmpty()) {
        madeRoot = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/cm-fuzz-root-XXXXXX"));
        QProcess makeRoot;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CM_BINARY_DIR"),
            qEnvironmentVariable("CM_BINARY_DIR", QStringLiteral(CM_DEFAULT_BINARY_DIR)));
        makeRoot.setProcessEnvironment(environment);
        makeRoot.setProcessChannelMode(QProcess::ForwardedChannels);
        makeRoot.start(sourceDir() + QStringLiteral("/scripts/make-root"), { madeRoot->path() });
        if (!madeRoot->isValid() || !makeRoot.waitForFinished(300000) || makeRoot.exitStatus() != QProcess::NormalExit
            || makeRoot.exitCode() != 0) {
            stop(QStringLiteral("scripts/make-root failed"));
        }
        given = madeRoot->path();
    }
    const QString root = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    // The marker scripts/make-root leaves: the simulated tools' call log.
    if (root == QLatin1String("/") || !QFileInfo(root + QStringLiteral("/var/log/sim/calls.log")).isFile()) {
        stop(QStringLiteral("%1 is not a root laid out by scripts/make-root").arg(root));
    }
    return root;
}

} // namespace

// Qt 5.15's JSON parser leaks: an object that repeats a key whose value is a non-empty array or
// object ({"a": [1], "a": [1]}, which Qt accepts and reads as the last value) loses the replaced
// container, some bytes per parse. Qt is built without frame pointers, so LeakSanitizer's fast
// unwinder cannot see which Qt function allocated a leaked block, and a suppression by name would
// need the slow unwinder (four times fewer runs). Instead the targets take the calls of the parser
// here and hand them to Qt with leak tracking off for what the parser allocates; what the service
// builds from the document is tracked as usual.
QJsonDocument QJsonDocument::fromJson(const QByteArray& json, QJsonParseError* error)
{
    using Parse = QJsonDocument (*)(const QByteArray&, QJsonParseError*);
    static const auto qtParse
        = reinterpret_cast<Parse>(dlsym(RTLD_NEXT, "_ZN13QJsonDocument8fromJsonERK10QByteArrayP15QJsonParseError"));
    if (!qtParse) {
        std::fprintf(stderr, "FuzzEnvironment: QJsonDocument::fromJson not found in Qt\n");
        std::abort();
    }
    __lsan::ScopedDisabler untracked;
    return qtParse(json, error);
}

void FuzzEnvironment::initialize(Root root)
{
    // Nothing the targets run may reach the machine's own buses or tools.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/cm-fuzz/system_bus_socket");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/cm-fuzz/session_bus_socket");
    qputenv("PATH", QFile::encodeName(sourceDir() + QStringLiteral("/sim/bin:")) + qgetenv("PATH"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariable("CM_FUZZ_VERBOSE") != QLatin1String("1")) {
        qInstallMessageHandler(dropMessages);
    }

    // The application object lives as long as the process (QCoreApplication keeps argc by
    // reference).
    static int argc = 1;
    static char name[] = "cm-fuzz";
    static char* argv[] = { name, nullptr };
    new QCoreApplication(argc, argv);

    scratch = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/cm-fuzz-XXXXXX"));
    if (!scratch->isValid()) {
        stop(QStringLiteral("cannot create a scratch directory in %1").arg(QDir::tempPath()));
    }
    if (root == Root::Private) {
        rootPath = layOutRoot();
        qputenv("CONFIGURATION_MANAGER_ROOT", QFile::encodeName(rootPath));
    } else {
        // The targets without a root must not find the machine's files either.
        qputenv("CONFIGURATION_MANAGER_ROOT", QFile::encodeName(scratch->path()));
    }
}

QString FuzzEnvironment::root()
{
    return rootPath;
}

QString FuzzEnvironment::scratchDir()
{
    return scratch ? scratch->path() : QString();
}

bool FuzzEnvironment::writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray FuzzEnvironment::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FuzzEnvironment::fail(const QString& message)
{
    std::fprintf(stderr, "FINDING: %s\n", qPrintable(message));
    std::abort();
}
