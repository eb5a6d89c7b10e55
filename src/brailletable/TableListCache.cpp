#include "TableListCache.h"

#include <QFile>

#include <sys/stat.h>

bool TableListCache::Stamp::operator==(const Stamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && modified == other.modified
        && changed == other.changed;
}

bool TableListCache::stamp(const QString& path, Stamp& out)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return false;
    }
    constexpr qint64 nanoseconds = 1000000000;
    out.device = static_cast<quint64>(status.st_dev);
    out.inode = static_cast<quint64>(status.st_ino);
    out.size = static_cast<qint64>(status.st_size);
    out.modified = static_cast<qint64>(status.st_mtim.tv_sec) * nanoseconds + status.st_mtim.tv_nsec;
    out.changed = static_cast<qint64>(status.st_ctim.tv_sec) * nanoseconds + status.st_ctim.tv_nsec;
    return true;
}

bool TableListCache::find(const QString& path, int dots, const Stamp& stamp, QVariantMap& out) const
{
    const auto it = m_entries.constFind(qMakePair(path, dots));
    if (it == m_entries.constEnd() || !(it->stamp == stamp)) {
        return false;
    }
    out = it->tables;
    return true;
}

void TableListCache::insert(const QString& path, int dots, const Stamp& stamp, const QVariantMap& tables)
{
    m_entries.insert(qMakePair(path, dots), Entry { stamp, tables });
}

void TableListCache::forget(const QString& path)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it.key().first == path) {
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}
