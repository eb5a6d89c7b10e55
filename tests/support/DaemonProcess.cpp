#include "DaemonProcess.h"

#include "TestRoot.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <atomic>

DaemonProcess::DaemonProcess(const QString& rootPath, const QString& loggingRules)
    : m_rootPath(rootPath)
    , m_loggingRules(loggingRules)
{
}

QString DaemonProcess::executable()
{
    return TestRoot::binaryDir() + "/src/configuration-manager";
}

bool DaemonProcess::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CONFIGURATION_MANAGER_ROOT", m_rootPath);
    if (!m_loggingRules.isEmpty()) {
        environment.insert("QT_LOGGING_RULES", m_loggingRules);
    }
    m_process.setProcessEnvironment(environment);
    static std::atomic<int> started { 0 };
    QDir().mkpath(m_rootPath + "/var/log");
    m_logPath = m_rootPath + QString("/var/log/configuration-manager.%1.log").arg(++started);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_logPath, QIODevice::Truncate);
    m_process.setStandardInputFile(QProcess::nullDevice());
    // A cross build's daemon runs under the emulator (scripts/cross sets it): a program started by
    // an emulated one is not emulated by itself.
    const QString emulator = qEnvironmentVariable("CM_EMULATOR");
    if (emulator.isEmpty()) {
        m_process.start(executable(), QStringList());
    } else {
        m_process.start(emulator, { executable() });
    }
    return m_process.waitForStarted(10000);
}

bool DaemonProcess::waitForReady(int timeoutMs)
{
    QFile file(m_rootPath + "/var/run/service-watcher/configuration-manager");
    return QTest::qWaitFor(
        [&]() {
            const bool ready = file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == "1";
            file.close();
            return ready;
        },
        timeoutMs);
}

bool DaemonProcess::waitForLog(const QString& text, int count, int timeoutMs)
{
    return QTest::qWaitFor([&]() { return logCount(text) >= count; }, timeoutMs);
}

QStringList DaemonProcess::log()
{
    QFile file(m_logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

void DaemonProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void DaemonProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}
