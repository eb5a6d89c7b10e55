#include "Logger.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcLogger, "Logger")

namespace detail {

Logger::Logger(QObject* parent)
    : QObject(parent)
{
}

void Logger::setEnabled(bool enabled)
{
    m_enabled = enabled;
}

void Logger::setParameterName(const QString& name)
{
    if (m_enabled) {
        m_parameterName = name;
    }
}

bool Logger::logChange(const QVariant& previous, const QVariant& value)
{
    if (!m_enabled) {
        return false;
    }
    const QString& path = Locations::parameterChangeLogFile();
    // The service's state directory does not exist before the first entry.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        LOG_WARN(lcLogger) << "Failed to open file:" << path;
        return false;
    }
    const QString line = QStringLiteral("%1 - \"%2\" - previous value \"%3\", new value \"%4\".\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd / hh:mm")),
                                 m_parameterName, previous.toString(), value.toString());
    const QByteArray bytes = line.toUtf8();
    return file.write(bytes) == bytes.size();
}

bool Logger::clear()
{
    return QFile::remove(Locations::parameterChangeLogFile());
}

QString Logger::read() const
{
    const QString& path = Locations::parameterChangeLogFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LOG_WARN(lcLogger) << "Failed to open file:" << path;
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace detail
