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

DaemonProcess::~DaemonProcess()
{
    stop();
}

QString DaemonProcess::executable()
{
    return TestRoot::binaryDir() + QStringLiteral("/src/configuration-manager");
}

bool DaemonProcess::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CONFIGURATION_MANAGER_ROOT"), m_rootPath);
    if (!m_loggingRules.isEmpty()) {
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), m_loggingRules);
    }
    m_process.setProcessEnvironment(environment);
    static std::atomic<int> started { 0 };
    QDir().mkpath(m_rootPath + QStringLiteral("/var/log"));
    m_logPath = m_rootPath + QStringLiteral("/var/log/configuration-manager.%1.log").arg(++started);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_logPath, QIODevice::Truncate);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.start(executable(), QStringList());
    return m_process.waitForStarted(10000);
}

bool DaemonProcess::waitForReady(int timeoutMs)
{
    const QString readyFile = m_rootPath + QStringLiteral("/var/run/service-watcher/configuration-manager");
    return QTest::qWaitFor(
        [&]() {
            QFile file(readyFile);
            return file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == "1";
        },
        timeoutMs);
}

bool DaemonProcess::waitForLog(const QString& text, int count, int timeoutMs)
{
    return QTest::qWaitFor([&]() { return logCount(text) >= count; }, timeoutMs);
}

int DaemonProcess::logCount(const QString& text)
{
    int found = 0;
    const QStringList lines = log();
    for (const QString& line : lines) {
        if (line.contains(text)) {
            ++found;
        }
    }
    return found;
}

QStringList DaemonProcess::log()
{
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
