#include "PrivateBus.h"

#include "TestRoot.h"

#include <QtGlobal>

#include <csignal>
#include <sys/prctl.h>

void ChildProcess::setupChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

PrivateBus::PrivateBus()
{
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({ QStringLiteral("--config-file=%1/dbus/private-bus.conf").arg(TestRoot::sourceDir()),
        QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    m_daemon.start();
    if (!m_daemon.waitForStarted(10000)) {
        qWarning("PrivateBus: dbus-daemon did not start");
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) { }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        qWarning("PrivateBus: dbus-daemon printed no address");
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
