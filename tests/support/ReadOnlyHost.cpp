#include "ReadOnlyHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
QByteArray mountNamespace()
{
    char target[64] = {};
    const ssize_t length = ::readlink("/proc/thread-self/ns/mnt", target, sizeof target - 1);
    return length > 0 ? QByteArray(target, int(length)) : QByteArray();
}

QString systemError(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The top-level directory that holds a path ("/tmp" for "/tmp/x/y").
QString topLevelOf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return QLatin1Char('/') + canonical.section(QLatin1Char('/'), 1, 1);
}
} // namespace

ReadOnlyHost::ReadOnlyHost()
{
    if (::geteuid() != 0) {
        return;
    }
    if (!enterPrivateNamespace()) {
        return;
    }
    const QStringList writable { QStringLiteral("/dev"), QStringLiteral("/proc"), QStringLiteral("/sys"),
        QStringLiteral("/run"), topLevelOf(QDir::tempPath()) };
    const QFileInfoList entries = QDir(QStringLiteral("/")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString directory = entry.absoluteFilePath();
        if (entry.isSymLink() || writable.contains(directory)) {
            continue;
        }
        if (!remountReadOnly(directory)) {
            return;
        }
    }
}

bool ReadOnlyHost::enterPrivateNamespace()
{
    const QByteArray machineNamespace = mountNamespace();
    if (::unshare(CLONE_NEWNS) != 0) {
        m_error = systemError(QStringLiteral("unshare(CLONE_NEWNS)"));
        return false;
    }
    // Where "/" is a shared mount, the new namespace would still pass its mounts to the machine's.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        m_error = systemError(QStringLiteral("making the mounts private"));
        return false;
    }
    if (machineNamespace.isEmpty() || mountNamespace() == machineNamespace) {
        m_error = QStringLiteral("the process did not move to a mount namespace of its own");
        return false;
    }
    return true;
}

bool ReadOnlyHost::remountReadOnly(const QString& directory)
{
    const QByteArray path = QFile::encodeName(directory);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND | MS_REC, nullptr) != 0
        || ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        m_error = systemError(QStringLiteral("mounting %1 read-only").arg(directory));
        return false;
    }
    // Asks without writing anything.
    if (::access(path.constData(), W_OK) == 0 || errno != EROFS) {
        m_error = QStringLiteral("%1 is still writable").arg(directory);
        return false;
    }
    m_readOnly << directory;
    return true;
}
