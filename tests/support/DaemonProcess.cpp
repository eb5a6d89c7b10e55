#include "DaemonProcess.h"

#include "TestRoot.h"

#include <QFile>
#include <QTest>

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
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.start(executable(), QStringList());
    return m_process.waitForStarted(10000);
}

void DaemonProcess::collect()
{
    m_partial += m_process.readAll();
    int newline;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(newline));
        m_partial.remove(0, newline + 1);
    }
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
    collect();
    int found = 0;
    for (const QString& line : qAsConst(m_lines)) {
        if (line.contains(text)) {
            ++found;
        }
    }
    return found;
}

QStringList DaemonProcess::log()
{
    collect();
    return m_lines;
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
    collect();
}
