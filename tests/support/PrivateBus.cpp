#include "PrivateBus.h"

#include "TestRoot.h"

#include <QtGlobal>

#include <csignal>
#include <sys/prctl.h>

void ChildProcess::setupChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

PrivateBus::PrivateBus(const QString& configFile)
{
    const QString config = configFile.isEmpty() ? TestRoot::sourceDir() + "/dbus/private-bus.conf" : configFile;
    m_daemon.start("dbus-daemon", { "--config-file=" + config, "--nofork", "--print-address=1" });
    if (!m_daemon.waitForStarted(10000)) {
        m_error = "dbus-daemon did not start: " + m_daemon.errorString();
    } else {
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) { }
        m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
        if (m_address.isEmpty()) {
            m_error = "dbus-daemon printed no address: " + QString::fromLocal8Bit(m_daemon.readAllStandardError());
        }
    }
    if (!m_error.isEmpty()) {
        qWarning("PrivateBus: %s", qPrintable(m_error));
        return;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLocal8Bit());
}

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
}
