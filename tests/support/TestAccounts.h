#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Two accounts and the "embosser" group, bind-mounted over /etc/passwd and /etc/group in a mount
// namespace of this process only (the real files stay untouched). Needs root. Create it on the
// main thread, which owns the namespace and starts the children, before anything that uses them.
class TestAccounts {
public:
    struct Account {
        QString name;
        uint uid = 0;
        uint gid = 0;
    };

    TestAccounts();
    ~TestAccounts();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // A member of the group (as a supplementary group, like the embosser's service accounts).
    const Account& member() const { return m_member; }
    // In no group but its own.
    const Account& outsider() const { return m_outsider; }

    // The command line that runs a program as the account, with its groups from /etc/group.
    static QStringList commandAs(const Account& account, const QString& program, const QStringList& arguments);

private:
    bool enterPrivateNamespace();
    bool writeAccountFiles();
    bool bindOver(const QString& file, const QString& target);

    QTemporaryDir m_dir;
    QString m_error;
    Account m_member { QStringLiteral("cm-test-member") };
    Account m_outsider { QStringLiteral("cm-test-outsider") };
    QStringList m_mounted;
};
