#include "SystemStyleBus.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

QString SystemStyleBus::systemConfiguration()
{
    return QStringLiteral("/usr/share/dbus-1/system.conf");
}

SystemStyleBus::SystemStyleBus(const QString& policyFile)
{
    // Every user of the test connects to the socket in here.
    QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::ExeOther);
    const QString configuration = m_dir.filePath("system.conf");
    if (!m_dir.isValid()) {
        m_error = "cannot create a temporary directory";
    } else if (writeConfiguration(configuration, policyFile)) {
        m_bus = std::make_unique<PrivateBus>(configuration);
    }
}

// Keeps the policy, limits, type and authentication of the system configuration, drops what ties
// it to the machine, and adds a socket of its own and the policy file.
bool SystemStyleBus::writeConfiguration(const QString& target, const QString& policyFile)
{
    static const QStringList kept { "type", "auth", "policy", "limit" };
    QFile in(systemConfiguration());
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        m_error = QString("cannot copy %1 to %2").arg(in.fileName(), target);
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
            writer.writeTextElement("listen", "unix:path=" + m_dir.filePath("system_bus_socket"));
            writer.writeTextElement("include", policyFile);
        }
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError()) {
        m_error = QString("cannot read %1: %2").arg(in.fileName(), reader.errorString());
        return false;
    }
    return out.flush();
}
