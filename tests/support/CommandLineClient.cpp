#include "CommandLineClient.h"

#include <QDebug>
#include <QProcess>
#include <QStandardPaths>

const QString& CommandLineClient::service()
{
    static const QString name = QStringLiteral("com.corvanebraille.ConfigurationManager");
    return name;
}

bool CommandLineClient::isInstalled(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QString CommandLineClient::run(const QString& program, const QStringList& arguments)
{
    QProcess client;
    client.start(program, arguments);
    if (!client.waitForFinished(20000) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) {
        qWarning().noquote() << program << arguments.join(' ') << "failed:" << client.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
}

QString CommandLineClient::gdbus(const QString& method, const QStringList& arguments)
{
    return run("gdbus",
        QStringList {
            "call", "--system", "--dest", service(), "--object-path", "/", "--method", interfaceName() + '.' + method }
            + arguments);
}

QString CommandLineClient::busctl(const QString& method, const QString& signature, const QStringList& values)
{
    QStringList arguments { "--system", "call", service(), "/", interfaceName(), method };
    if (!signature.isEmpty()) {
        arguments << signature << values;
    }
    return run("busctl", arguments);
}
