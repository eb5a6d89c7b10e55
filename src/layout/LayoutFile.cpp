#include "LayoutFile.h"

#include "LayoutKeys.h"
#include "Locations.h"
#include "SafePath.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"

#include <QFile>
#include <QFileInfo>

namespace {
CM_LOGGING_CATEGORY(lcLayoutFile, "LayoutFile")
}

LayoutFile::LayoutFile(int number, QObject* parent)
    : QObject(parent)
    , m_number(number)
{
}

QString LayoutFile::fileStem()
{
    return QStringLiteral("layout");
}

QString LayoutFile::fileName(int number)
{
    return QStringLiteral("layout.%1").arg(number);
}

QString LayoutFile::path(int number)
{
    return Locations::join(Locations::stateDir(), fileName(number));
}

QString LayoutFile::path() const
{
    return path(m_number);
}

bool LayoutFile::read(QVariantMap& data) const
{
    LOG_DEBUG(lcLayoutFile) << "Read layout nr." << m_number;
    data.clear();
    if (!m_file.readToMap(path(), data) || data.isEmpty()) {
        LOG_ERROR(lcLayoutFile) << "no data found in the layout file.";
        data.clear();
        return false;
    }
    return true;
}

bool LayoutFile::read(const QString& parameter, QString& value) const
{
    LOG_DEBUG(lcLayoutFile) << "Read layout nr." << m_number << "property" << parameter;
    return m_file.read(path(), parameter, value);
}

bool LayoutFile::write(const QVariantMap& data) const
{
    LOG_DEBUG(lcLayoutFile) << "Write layout nr." << m_number;
    if (data.isEmpty()) {
        LOG_ERROR(lcLayoutFile) << "missing layout data.";
        return false;
    }
    return m_file.writeFromMap(QString(), path(), data);
}

bool LayoutFile::copy(int source, const QString& creator) const
{
    QVariantMap data;
    if (!LayoutFile(source).read(data)) {
        LOG_ERROR(lcLayoutFile) << "reading current layout failed!";
        return false;
    }
    data.insert(LayoutKeys::creatorOfLayout, creator);
    return write(data);
}

bool LayoutFile::remove() const
{
    if (!QFile::remove(path())) {
        LOG_FAILED(lcLayoutFile) << "removing" << path() << "failed!";
        return false;
    }
    return true;
}

QString LayoutFile::factoryCopy(const QString& model) const
{
    const QString& factory = Locations::factoryBackupDir();
    // The model comes from a settings file: it names a folder only when it stays one.
    const QString folder = QString(model).replace(QLatin1Char(' '), QLatin1Char('_'));
    if (SafePath::isPlainName(folder)) {
        const QString own = QStringLiteral("%1/%2/%3").arg(factory, folder, fileName(m_number));
        if (SafePath::isInside(factory, own) && QFileInfo(own).isFile()) {
            return own;
        }
    }
    const QString common = Locations::join(factory, fileName(m_number));
    return QFileInfo(common).isFile() ? common : QString();
}

bool LayoutFile::restore(const QString& model) const
{
    LOG_REPAIR(lcLayoutFile) << "Restore layout file" << fileName(m_number) << "from system directory";
    const QString source = factoryCopy(model);
    if (source.isEmpty() || !Utils::copyFile(source, path(), true)) {
        qCCritical(lcLayoutFile).noquote() << "LayoutFile::restore FATAL: failed to restore layout file"
                                           << fileName(m_number) << "=> NO WAY OF RECOVERY, contact support!";
        return false;
    }
    LOG_REPAIR(lcLayoutFile) << "Restore succeded!" << fileName(m_number) << "from" << source;
    return true;
}
