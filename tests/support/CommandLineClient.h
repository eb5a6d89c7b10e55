#pragma once

#include <QString>
#include <QStringList>

// Runs the command-line D-Bus clients (gdbus, busctl, dbus-send) against the service on the
// private bus, the way a developer at a shell reaches it.
class CommandLineClient {
public:
    static const QString& service();
    static const QString& interfaceName() { return service(); }

    static bool isInstalled(const QString& program);
    // The client's standard output; empty (and a warning) when it failed.
    static QString run(const QString& program, const QStringList& arguments);
    // `gdbus call` of one method of the service with gdbus's own argument syntax.
    static QString gdbus(const QString& method, const QStringList& arguments = QStringList());
    // `busctl call` of one method: signature, then the values.
    static QString busctl(
        const QString& method, const QString& signature = QString(), const QStringList& values = QStringList());
};
