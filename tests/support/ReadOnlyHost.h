#pragma once

#include <QString>
#include <QStringList>

// Keeps the machine out of reach of a test that feeds hostile input to the service. Run as root,
// the test process moves into a mount namespace of its own in which every top-level directory of
// the machine is mounted read-only again, except the temporary directory (where the test's root,
// bus and watched directories live) and the kernel's file systems. The processes the test starts
// afterwards inherit the namespace, so a service that tried to write "/etc/passwd" would fail
// there instead of changing the machine. As another user there is nothing to do: the machine's
// directories are not writable anyway. Create it on the main thread before anything is started.
class ReadOnlyHost {
public:
    ReadOnlyHost();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // The directories mounted read-only; empty when not run as root.
    QStringList readOnly() const { return m_readOnly; }

private:
    bool enterPrivateNamespace();
    bool remountReadOnly(const QString& directory);

    QString m_error;
    QStringList m_readOnly;
};
