#pragma once

#include "PrivateBus.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The built configuration-manager running on the test's root and private bus. Its output goes to
// a file, never a pipe: a pipe that nobody reads while a test waits in a blocking D-Bus call would
// fill up and stop the daemon in the middle of a log line. Waits poll a condition under a
// deadline, never a fixed sleep.
class DaemonProcess {
public:
    // rootPath: the CONFIGURATION_MANAGER_ROOT; loggingRules: QT_LOGGING_RULES for the daemon.
    explicit DaemonProcess(const QString& rootPath, const QString& loggingRules = QString());
    ~DaemonProcess();

    bool start();
    // True once the service watcher file says ready.
    bool waitForReady(int timeoutMs = 20000);
    bool waitForLog(const QString& text, int count = 1, int timeoutMs = 20000);
    int logCount(const QString& text);
    QStringList log();
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    void stop();
    // SIGKILL, as a crash or power cut would end it, and waits until it is gone.
    void kill();

    static QString executable();

    QString logPath() const { return m_logPath; }

private:
    QString m_rootPath;
    QString m_loggingRules;
    QString m_logPath;
    ChildProcess m_process;
};
