#include "AtomicFile.h"

#include "LogPrefix.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace {
CM_LOGGING_CATEGORY(lc, "AtomicFile")

// The rename is durable only once the directory entry is on disk too.
void syncDirectory(const QString& directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

namespace libcorvane {

bool AtomicFile::write(const QString& path, const QByteArray& content)
{
    if (path.isEmpty()) {
        LOG_ERROR(lc) << "empty file path";
        return false;
    }
    if (content.isEmpty()) {
        LOG_ERROR(lc) << "refusing to write empty content to" << path;
        return false;
    }
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory)) {
        LOG_ERROR(lc) << "creating directory" << directory << "failed!";
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        LOG_ERROR(lc) << "opening" << path << "for writing failed:" << file.errorString();
        return false;
    }
    if (file.write(content) != content.size()) {
        LOG_ERROR(lc) << "writing" << path << "failed:" << file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        LOG_ERROR(lc) << "committing" << path << "failed:" << file.errorString();
        return false;
    }
    syncDirectory(directory);
    return true;
}

} // namespace libcorvane
