#include "TestAccounts.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
const char* const passwdFile = "/etc/passwd";
const char* const groupFile = "/etc/group";

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

QByteArray readAll(const char* path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of an account file except those that define one of the names; the ids it uses go
// to usedIds.
QByteArray withoutNames(const QByteArray& content, const QSet<QByteArray>& names, QSet<uint>& usedIds)
{
    QByteArray kept;
    for (const QByteArray& line : content.split('\n')) {
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
    m_member.name = QStringLiteral("cm-test-member");
    m_outsider.name = QStringLiteral("cm-test-outsider");
    if (::geteuid() != 0) {
        m_error = QStringLiteral("test accounts need root");
        return;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary directory");
        return;
    }
    if (enterPrivateNamespace() && writeAccountFiles()) {
        bindOver(m_dir.filePath(QStringLiteral("passwd")), QString::fromLatin1(passwdFile))
            && bindOver(m_dir.filePath(QStringLiteral("group")), QString::fromLatin1(groupFile));
    }
}

TestAccounts::~TestAccounts()
{
    for (auto target = m_mounted.crbegin(); target != m_mounted.crend(); ++target) {
        ::umount2(QFile::encodeName(*target).constData(), MNT_DETACH);
    }
}

QString TestAccounts::groupName()
{
    return QStringLiteral("embosser");
}

QStringList TestAccounts::commandAs(const Account& account, const QString& program, const QStringList& arguments)
{
    return QStringList { QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(account.uid),
        QStringLiteral("--regid=%1").arg(account.gid), QStringLiteral("--init-groups"), QStringLiteral("--"), program }
    + arguments;
}

bool TestAccounts::enterPrivateNamespace()
{
    const QByteArray machineNamespace = mountNamespace();
    if (::unshare(CLONE_NEWNS) != 0) {
        m_error = systemError(QStringLiteral("unshare(CLONE_NEWNS)"));
        return false;
    }
    // Where "/" is a shared mount, a new namespace still passes its mount events to the
    // machine's: without this the bind mounts would show on the machine too.
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

bool TestAccounts::writeAccountFiles()
{
    const QSet<QByteArray> names { m_member.name.toLatin1(), m_outsider.name.toLatin1(), groupName().toLatin1() };
    QSet<uint> usedIds;
    QByteArray passwd = withoutNames(readAll(passwdFile), names, usedIds);
    QByteArray group = withoutNames(readAll(groupFile), names, usedIds);
    if (passwd.isEmpty() || group.isEmpty()) {
        m_error = QStringLiteral("cannot read /etc/passwd and /etc/group");
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
    m_groupId = freeId();
    m_member.uid = m_member.gid = freeId();
    m_outsider.uid = m_outsider.gid = freeId();
    for (const Account* account : { &m_member, &m_outsider }) {
        passwd += QStringLiteral("%1:x:%2:%3::/nonexistent:/usr/sbin/nologin\n")
                      .arg(account->name)
                      .arg(account->uid)
                      .arg(account->gid)
                      .toLatin1();
        group += QStringLiteral("%1:x:%2:\n").arg(account->name).arg(account->gid).toLatin1();
    }
    group += QStringLiteral("%1:x:%2:%3\n").arg(groupName()).arg(m_groupId).arg(m_member.name).toLatin1();

    for (const auto& [name, content] : { std::make_pair("passwd", passwd), std::make_pair("group", group) }) {
        QFile file(m_dir.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()
            || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther)) {
            m_error = QStringLiteral("cannot write ") + file.fileName();
            return false;
        }
    }
    return true;
}

bool TestAccounts::bindOver(const QString& file, const QString& target)
{
    if (::mount(QFile::encodeName(file).constData(), QFile::encodeName(target).constData(), nullptr, MS_BIND, nullptr)
        != 0) {
        m_error = systemError(QStringLiteral("bind-mounting over ") + target);
        return false;
    }
    m_mounted << target;
    return true;
}
