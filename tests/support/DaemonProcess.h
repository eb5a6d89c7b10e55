#pragma once

#include "PrivateBus.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The built daemon on the test's root and bus. Its output goes to a file: an unread pipe would
// fill up during a blocking D-Bus call and stop the daemon. Waits poll under a deadline.
class DaemonProcess {
public:
    // rootPath: the CONFIGURATION_MANAGER_ROOT; loggingRules: QT_LOGGING_RULES for the daemon.
    explicit DaemonProcess(const QString& rootPath, const QString& loggingRules = QString());
    ~DaemonProcess() { stop(); }

    bool start();
    // True once the service watcher file says ready.
    bool waitForReady(int timeoutMs = 20000);
    bool waitForLog(const QString& text, int count = 1, int timeoutMs = 20000);
    int logCount(const QString& text) { return log().filter(text).size(); }
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
