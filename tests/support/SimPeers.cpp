#include "SimPeers.h"

#include "TestRoot.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QTest>

const QStringList SimPeers::allRoles { "speech-daemon", "error-handler", "state-handler", "document-manager",
    "network-manager", "print-manager" };

SimPeers::SimPeers(const QString& rootPath)
    : m_rootPath(rootPath)
{
}

SimPeers::~SimPeers()
{
    for (const QString& role : m_processes.keys()) {
        stop(role);
    }
}

QString SimPeers::executable()
{
    return TestRoot::binaryDir() + "/sim/peers/sim-peer";
}

bool SimPeers::start(const QStringList& roles)
{
    for (const QString& role : roles) {
        const QString pidFile = m_rootPath + "/var/run/sim/" + role + ".pid";
        QFile::remove(pidFile);
        auto process = std::make_shared<ChildProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CONFIGURATION_MANAGER_ROOT", m_rootPath);
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(executable(), { role });
        if (!process->waitForStarted(10000)
            || !QTest::qWaitFor(
                [&]() { return QFile::exists(pidFile) || process->state() == QProcess::NotRunning; }, 10000)
            || process->state() == QProcess::NotRunning) {
            qWarning("SimPeers: %s did not come up", qPrintable(role));
            return false;
        }
        m_processes.insert(role, process);
    }
    return true;
}

void SimPeers::stop(const QString& role)
{
    const auto process = m_processes.take(role);
    if (process && process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

bool SimPeers::isRunning(const QString& role) const
{
    const auto process = m_processes.value(role);
    return process && process->state() == QProcess::Running;
}
