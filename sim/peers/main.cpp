// sim-peer ROLE: one peer service of the simulated embosser on the system bus (in development and
// tests a private bus, DBUS_SYSTEM_BUS_ADDRESS). ROLE is speech-daemon, error-handler,
// state-handler, document-manager, network-manager or print-manager. It owns
// "com.corvanebraille.<ServiceId>", serves that interface at "/", records its calls under
// CONFIGURATION_MANAGER_ROOT and, once on the bus, writes its pid to
// var/run/sim/<role>.pid there. Exit status 125: no usable root; 1: not on the bus.

#include "ErrorHandlerPeer.h"
#include "ManagerPeers.h"
#include "SpeechDaemonPeer.h"
#include "StateHandlerPeer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <functional>
#include <map>

namespace {
struct Role {
    const char* busName;
    std::function<PeerObject*(const QString&)> make;
};

const std::map<QString, Role>& roles()
{
    static const std::map<QString, Role> table {
        { "speech-daemon",
            { "com.corvanebraille.SpeechManager", [](const QString& r) { return new SpeechDaemonPeer(r); } } },
        { "error-handler",
            { "com.corvanebraille.ErrorHandler", [](const QString& r) { return new ErrorHandlerPeer(r); } } },
        { "state-handler",
            { "com.corvanebraille.StateHandler", [](const QString& r) { return new StateHandlerPeer(r); } } },
        { "document-manager",
            { "com.corvanebraille.DocumentManager", [](const QString& r) { return new DocumentManagerPeer(r); } } },
        { "network-manager",
            { "com.corvanebraille.NetworkManager", [](const QString& r) { return new NetworkManagerPeer(r); } } },
        { "print-manager",
            { "com.corvanebraille.PrintManager", [](const QString& r) { return new PrintManagerPeer(r); } } },
    };
    return table;
}

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "sim-peer: %s\n", qPrintable(message));
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto role = roles().find(arguments.value(1));
    if (arguments.size() != 2 || role == roles().end()) {
        return fail(2,
            "usage: sim-peer speech-daemon|error-handler|state-handler|document-manager|network-manager|print-manager");
    }
    QString root = QDir::cleanPath(qEnvironmentVariable("CONFIGURATION_MANAGER_ROOT"));
    if (root.isEmpty() || root == "/" || root == "." || !QFileInfo(root).isDir()) {
        return fail(125, "refusing to run: CONFIGURATION_MANAGER_ROOT must name a simulated root");
    }
    root = QFileInfo(root).absoluteFilePath();

    PeerObject* peer = role->second.make(root);
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return fail(1, "no system bus: " + bus.lastError().message());
    }
    if (!bus.registerObject("/", peer, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        || !bus.registerService(role->second.busName)) {
        return fail(1, QString("cannot own %1: %2").arg(role->second.busName, bus.lastError().message()));
    }
    QDir().mkpath(root + "/var/run/sim");
    QSaveFile pidFile(root + "/var/run/sim/" + role->first + ".pid");
    if (pidFile.open(QIODevice::WriteOnly)) {
        pidFile.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        pidFile.commit();
    }
    return application.exec();
}
