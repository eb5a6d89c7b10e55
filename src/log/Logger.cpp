#include "Logger.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcLogger, "Logger")

namespace {
// Beyond this size the log moves to "<file>.1" (replacing the older copy) and starts anew.
constexpr qint64 rotationSize = 256 * 1024;

// One entry is one line, whatever the values hold: a line break in a value cannot forge another.
QString escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
}
} // namespace

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
    if (QFileInfo(path).size() >= rotationSize) {
        const QString older = path + QStringLiteral(".1");
        QFile::remove(older);
        QFile::rename(path, older);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        LOG_WARN(lcLogger) << "Failed to open file:" << path;
        return false;
    }
    const QString line = QStringLiteral("%1 - \"%2\" - previous value \"%3\", new value \"%4\".\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd / hh:mm")),
                                 escaped(m_parameterName), escaped(previous.toString()), escaped(value.toString()));
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
