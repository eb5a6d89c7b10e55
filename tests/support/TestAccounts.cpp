#include "TestAccounts.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
const QString passwdFile = QStringLiteral("/etc/passwd");
const QString groupFile = QStringLiteral("/etc/group");
const QString groupName = QStringLiteral("embosser");

QByteArray mountNamespace()
{
    char target[64] = {};
    const ssize_t length = ::readlink("/proc/thread-self/ns/mnt", target, sizeof target - 1);
    return length > 0 ? QByteArray(target, int(length)) : QByteArray();
}

QString systemError(const QString& what)
{
    return what + ": " + QString::fromLocal8Bit(std::strerror(errno));
}

// The lines of an account file except those that define one of the names; the ids it uses go
// to usedIds.
QByteArray withoutNames(const QString& path, const QSet<QByteArray>& names, QSet<uint>& usedIds)
{
    QFile file(path);
    QByteArray kept;
    for (const QByteArray& line : (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()).split('\n')) {
        const QList<QByteArray> fields = line.split(':');
        if (line.isEmpty() || names.contains(fields.first())) {
            continue;
        }
        if (fields.size() > 2) {
            usedIds.insert(fields.at(2).toUInt());
        }
        kept += line + '\n';
    }
    return kept;
}
} // namespace

TestAccounts::TestAccounts()
{
    if (::geteuid() != 0) {
        m_error = "test accounts need root";
    } else if (!m_dir.isValid()) {
        m_error = "cannot create a temporary directory";
    } else if (enterPrivateNamespace() && writeAccountFiles()) {
        bindOver(m_dir.filePath("passwd"), passwdFile) && bindOver(m_dir.filePath("group"), groupFile);
    }
}

TestAccounts::~TestAccounts()
{
    for (auto target = m_mounted.crbegin(); target != m_mounted.crend(); ++target) {
        ::umount2(QFile::encodeName(*target).constData(), MNT_DETACH);
    }
}

QStringList TestAccounts::commandAs(const Account& account, const QString& program, const QStringList& arguments)
{
    return QStringList { "setpriv", QString("--reuid=%1").arg(account.uid), QString("--regid=%1").arg(account.gid),
        "--init-groups", "--", program }
    + arguments;
}

bool TestAccounts::enterPrivateNamespace()
{
    const QByteArray machineNamespace = mountNamespace();
    if (::unshare(CLONE_NEWNS) != 0) {
        m_error = systemError("unshare(CLONE_NEWNS)");
        return false;
    }
    // Where "/" is a shared mount, a new namespace still passes its mount events to the
    // machine's: without this the bind mounts would show on the machine too.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        m_error = systemError("making the mounts private");
        return false;
    }
    if (machineNamespace.isEmpty() || mountNamespace() == machineNamespace) {
        m_error = "the process did not move to a mount namespace of its own";
        return false;
    }
    return true;
}

bool TestAccounts::writeAccountFiles()
{
    const QSet<QByteArray> names { m_member.name.toLatin1(), m_outsider.name.toLatin1(), groupName.toLatin1() };
    QSet<uint> usedIds;
    QByteArray passwd = withoutNames(passwdFile, names, usedIds);
    QByteArray group = withoutNames(groupFile, names, usedIds);
    if (passwd.isEmpty() || group.isEmpty()) {
        m_error = "cannot read /etc/passwd and /etc/group";
        return false;
    }
    // Each id is free both as a user and as a group id.
    uint next = 61000;
    const auto freeId = [&]() {
        while (usedIds.contains(next)) {
            ++next;
        }
        return next++;
    };
    const uint groupId = freeId();
    for (Account* account : { &m_member, &m_outsider }) {
        account->uid = account->gid = freeId();
        passwd
            += QString("%1:x:%2:%2::/nonexistent:/usr/sbin/nologin\n").arg(account->name).arg(account->uid).toLatin1();
        group += QString("%1:x:%2:\n").arg(account->name).arg(account->gid).toLatin1();
    }
    group += QString("%1:x:%2:%3\n").arg(groupName).arg(groupId).arg(m_member.name).toLatin1();

    for (const auto& [name, content] : { std::make_pair("passwd", passwd), std::make_pair("group", group) }) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()
            || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther)) {
            m_error = "cannot write " + file.fileName();
            return false;
        }
    }
    return true;
}

bool TestAccounts::bindOver(const QString& file, const QString& target)
{
    if (::mount(QFile::encodeName(file).constData(), QFile::encodeName(target).constData(), nullptr, MS_BIND, nullptr)
        != 0) {
        m_error = systemError("bind-mounting over " + target);
        return false;
    }
    m_mounted << target;
    return true;
}
