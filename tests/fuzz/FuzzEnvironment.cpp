#include "FuzzEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <sanitizer/lsan_interface.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Removed at a normal exit; a run that ends by a crash leaves them in TMPDIR.
std::unique_ptr<QTemporaryDir> scratch;
std::unique_ptr<QTemporaryDir> madeRoot;

void dropMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        FuzzEnvironment::fail(QStringLiteral("qFatal: ") + message);
    }
}

[[noreturn]] void stop(const QString& message)
{
    std::fprintf(stderr, "FuzzEnvironment: %s\n", qPrintable(message));
    std::exit(2);
}

// The tree CM_FUZZ_ROOT names, or one laid out here, as long as scripts/make-root laid it out:
// its marker is the simulated tools' call log.
QString shippedRoot(const QString& sourceDir)
{
    QString root = qEnvironmentVariable("CM_FUZZ_ROOT");
    if (root.isEmpty()) {
        madeRoot = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/cm-fuzz-root-XXXXXX"));
        root = madeRoot->path();
        if (!qEnvironmentVariableIsSet("CM_BINARY_DIR")) {
            qputenv("CM_BINARY_DIR", CM_DEFAULT_BINARY_DIR);
        }
        if (QProcess::execute(sourceDir + QStringLiteral("/scripts/make-root"), { root }) != 0) {
            stop(QStringLiteral("scripts/make-root failed"));
        }
    }
    root = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    if (root == QLatin1String("/") || !QFileInfo(root + QStringLiteral("/var/log/sim/calls.log")).isFile()) {
        stop(QStringLiteral("%1 is not a root laid out by scripts/make-root").arg(root));
    }
    return root;
}

} // namespace

// Qt 5.15's JSON parser leaks: an object that repeats a key whose value is a non-empty array or
// object ({"a": [1], "a": [1]}) loses the replaced container. Qt is built without frame pointers,
// so LeakSanitizer cannot tell by name which Qt function allocated a block without its slow
// unwinder (four times fewer runs). Instead the targets take the parser's calls here and hand
// them to Qt with leak tracking off for what the parser allocates; what the service builds from
// the document is tracked as usual.
QJsonDocument QJsonDocument::fromJson(const QByteArray& json, QJsonParseError* error)
{
    using Parse = QJsonDocument (*)(const QByteArray&, QJsonParseError*);
    static const auto qtParse
        = reinterpret_cast<Parse>(dlsym(RTLD_NEXT, "_ZN13QJsonDocument8fromJsonERK10QByteArrayP15QJsonParseError"));
    if (!qtParse) {
        stop(QStringLiteral("QJsonDocument::fromJson not found in Qt"));
    }
    __lsan::ScopedDisabler untracked;
    return qtParse(json, error);
}

void FuzzEnvironment::initialize(Root root)
{
    const QString sourceDir = qEnvironmentVariable("CM_SOURCE_DIR", QStringLiteral(CM_DEFAULT_SOURCE_DIR));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/cm-fuzz/system_bus_socket");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/cm-fuzz/session_bus_socket");
    qputenv("PATH", QFile::encodeName(sourceDir + QStringLiteral("/sim/bin:")) + qgetenv("PATH"));
    if (qEnvironmentVariable("CM_FUZZ_VERBOSE") != QLatin1String("1")) {
        qInstallMessageHandler(dropMessages);
    }
    // QCoreApplication keeps argc by reference.
    static int argc = 1;
    static char name[] = "cm-fuzz";
    static char* argv[] = { name, nullptr };
    new QCoreApplication(argc, argv);

    scratch = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/cm-fuzz-XXXXXX"));
    if (!scratch->isValid()) {
        stop(QStringLiteral("cannot create a scratch directory in %1").arg(QDir::tempPath()));
    }
    qputenv("CONFIGURATION_MANAGER_ROOT",
        QFile::encodeName(root == Root::Shipped ? shippedRoot(sourceDir) : scratch->path()));
}

QString FuzzEnvironment::scratchDir()
{
    return scratch->path();
}

void FuzzEnvironment::writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        fail(QStringLiteral("cannot write %1").arg(path));
    }
}

void FuzzEnvironment::fail(const QString& message)
{
    std::fprintf(stderr, "FINDING: %s\n", qPrintable(message));
    std::abort();
}
