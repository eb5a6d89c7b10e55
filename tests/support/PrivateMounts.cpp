#include "PrivateMounts.h"

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
} // namespace

PrivateMounts::PrivateMounts()
{
    if (::geteuid() != 0) {
        m_error = QStringLiteral("private mounts need root");
        return;
    }
    const QByteArray machineNamespace = mountNamespace();
    // Where "/" is a shared mount, a new namespace still passes its mounts on to the machine's.
    if (check(::unshare(CLONE_NEWNS) == 0, QStringLiteral("unshare(CLONE_NEWNS)"))
        && check(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0,
            QStringLiteral("making the mounts private"))
        && (machineNamespace.isEmpty() || mountNamespace() == machineNamespace)) {
        m_error = QStringLiteral("the process did not move to a mount namespace of its own");
    }
}

bool PrivateMounts::check(bool ok, const QString& what)
{
    if (!ok && m_error.isEmpty()) {
        m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    return ok;
}

bool PrivateMounts::bind(const QString& source, const QString& target)
{
    return check(::mount(QFile::encodeName(source).constData(), QFile::encodeName(target).constData(), nullptr,
                     MS_BIND | MS_REC, nullptr)
            == 0,
        QStringLiteral("mounting %1 over %2").arg(source, target));
}

bool PrivateMounts::hostReadOnly()
{
    const QString temporary = QLatin1Char('/') + QFileInfo(QDir::tempPath()).canonicalFilePath().section('/', 1, 1);
    const QStringList writable { QStringLiteral("/dev"), QStringLiteral("/proc"), QStringLiteral("/sys"),
        QStringLiteral("/run"), temporary };
    for (const QFileInfo& entry : QDir(QStringLiteral("/")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString directory = entry.absoluteFilePath();
        const QByteArray path = QFile::encodeName(directory);
        if (entry.isSymLink() || writable.contains(directory)) {
            continue;
        }
        // access() asks without writing anything.
        if (!bind(directory, directory)
            || !check(::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0,
                QStringLiteral("mounting %1 read-only").arg(directory))
            || !check(::access(path.constData(), W_OK) != 0 && errno == EROFS,
                QStringLiteral("%1 is still writable").arg(directory))) {
            return false;
        }
    }
    return true;
}
