#include "AtomicFile.h"

#include "LogPrefix.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

int AtomicFile::removeLeftovers(const QString& directory)
{
    // The temporary name is the target's with six random letters or digits appended after a dot;
    // only those next to their target are taken, so no file of another kind is touched.
    static const QRegularExpression temporary(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QDir folder(directory);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = temporary.match(name);
        if (match.hasMatch() && names.contains(match.captured(1)) && QFile::remove(folder.filePath(name))) {
            qCCritical(lc).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "INFO:") << "removed"
                                     << folder.filePath(name) << "left by an interrupted write";
            ++removed;
        }
    }
    return removed;
}

} // namespace libcorvane
