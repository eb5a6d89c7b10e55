#include "CommandLineClient.h"

#include <QDebug>
#include <QProcess>
#include <QStandardPaths>

const QString& CommandLineClient::service()
{
    static const QString name = QStringLiteral("com.corvanebraille.ConfigurationManager");
    return name;
}

const QString& CommandLineClient::interfaceName()
{
    return service();
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
        qWarning().noquote() << program << arguments.join(QLatin1Char(' '))
                             << "failed:" << client.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
}

QString CommandLineClient::gdbus(const QString& method, const QStringList& arguments)
{
    return run(QStringLiteral("gdbus"),
        QStringList { QStringLiteral("call"), QStringLiteral("--system"), QStringLiteral("--dest"), service(),
            QStringLiteral("--object-path"), QStringLiteral("/"), QStringLiteral("--method"),
            interfaceName() + QLatin1Char('.') + method }
            + arguments);
}

QString CommandLineClient::busctl(const QString& method, const QString& signature, const QStringList& values)
{
    QStringList arguments { QStringLiteral("--system"), QStringLiteral("call"), service(), QStringLiteral("/"),
        interfaceName(), method };
    if (!signature.isEmpty()) {
        arguments << signature << values;
    }
    return run(QStringLiteral("busctl"), arguments);
}
