#include "PeerObject.h"

#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString escaped(QString text)
{
    return text.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n");
}
} // namespace

PeerObject::PeerObject(const QString& role, const QString& root, QObject* parent)
    : QObject(parent)
    , m_role(role)
    , m_root(root)
{
}

void PeerObject::record(const QStringList& fields) const
{
    QString line = escaped(m_role);
    for (const QString& field : fields) {
        line += '\t' + escaped(field);
    }
    QDir().mkpath(m_root + "/var/log/sim");
    QFile log(m_root + "/var/log/sim/calls.log");
    if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        // One write per line: the tools and peers append side by side.
        log.write((line + '\n').toUtf8());
    }
}

QString PeerObject::stateFile(const QString& name) const
{
    QFile file(m_root + "/var/lib/sim/" + m_role + '/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

bool PeerObject::failInjected()
{
    if (!QFileInfo::exists(m_root + "/var/lib/sim/fail/" + m_role)) {
        return false;
    }
    record({ "simulated failure" });
    sendErrorReply(QDBusError::Failed, m_role + ": simulated failure");
    return true;
}

QString PeerObject::machinePathUnderRoot(const QString& path) const
{
    return path.startsWith(m_root + '/') || !path.startsWith('/') ? path : m_root + path;
}
