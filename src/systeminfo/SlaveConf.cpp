#include "SlaveConf.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"

#include <QRegularExpression>

CM_LOGGING_CATEGORY(lcSlaveConf, "SlaveConf")

namespace {
const QString slaveDevKey = QStringLiteral("SLAVE_DEV");
const QString slaveIdKey = QStringLiteral("SLAVE_ID_DEFAULT");
} // namespace

SlaveConf::SlaveConf(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
    , m_reader(reader)
{
}

QString SlaveConf::value(const QString& key) const
{
    QString text;
    if (!m_reader.read(Locations::slaveConfFile(), key, text)) {
        LOG_ERROR(lcSlaveConf) << "reading" << key << "from" << Locations::slaveConfFile() << "failed";
        return QString();
    }
    return text;
}

QString SlaveConf::getSlaveDev() const
{
    static const QRegularExpression quoting(QStringLiteral("[\"\\\\]"));
    return value(slaveDevKey).remove(quoting);
}

int SlaveConf::getSlaveID() const
{
    return value(slaveIdKey).toInt();
}
