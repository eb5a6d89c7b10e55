#include "SystemStyleBus.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtGlobal>

QString SystemStyleBus::systemConfiguration()
{
    return QStringLiteral("/usr/share/dbus-1/system.conf");
}

SystemStyleBus::SystemStyleBus(const QString& policyFile)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary directory");
        return;
    }
    // Every user of the test connects to the socket in here.
    QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::ExeOther);
    const QString configuration = m_dir.filePath(QStringLiteral("system.conf"));
    if (!writeConfiguration(configuration, policyFile)) {
        return;
    }
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({ QStringLiteral("--config-file=") + configuration, QStringLiteral("--nofork"),
        QStringLiteral("--print-address=1") });
    m_daemon.start();
    if (!m_daemon.waitForStarted(10000)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) { }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon printed no address: ")
            + QString::fromLocal8Bit(m_daemon.readAllStandardError());
        return;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLocal8Bit());
}

SystemStyleBus::~SystemStyleBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
}

// Copies the policy, limits, type and authentication of the system configuration; leaves out
// what ties it to the machine (its socket, includes, service directories and helper, user
// switch, fork, pid file, syslog, security modules) and adds the socket and the policy file.
bool SystemStyleBus::writeConfiguration(const QString& target, const QString& policyFile)
{
    static const QStringList kept { QStringLiteral("type"), QStringLiteral("auth"), QStringLiteral("policy"),
        QStringLiteral("limit") };
    QFile in(systemConfiguration());
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot copy %1 to %2").arg(in.fileName(), target);
        return false;
    }
    QXmlStreamReader reader(&in);
    QXmlStreamWriter writer(&out);
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isComment()) {
            continue;
        }
        if (reader.isStartElement() && ++depth == 2 && !kept.contains(reader.name().toString())) {
            reader.skipCurrentElement();
            --depth;
            continue;
        }
        if (reader.isEndElement() && depth-- == 1) {
            writer.writeTextElement(QStringLiteral("listen"),
                QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("system_bus_socket")));
            writer.writeTextElement(QStringLiteral("include"), policyFile);
        }
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError()) {
        m_error = QStringLiteral("cannot read %1: %2").arg(in.fileName(), reader.errorString());
        return false;
    }
    return out.flush();
}
