#pragma once

#include <QString>

// A mount namespace of the test process's own: what is mounted in it never reaches the machine,
// and the processes the test starts afterwards share it. Needs root. Create it on the main thread,
// which starts the children, before anything is started.
class PrivateMounts {
public:
    PrivateMounts();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Mounts a file or directory over another.
    bool bind(const QString& source, const QString& target);
    // Mounts every top-level directory of the machine read-only again, except the temporary
    // directory and the kernel's file systems: a service that tried to write "/etc/passwd" would
    // fail instead of changing the machine.
    bool hostReadOnly();

private:
    bool check(bool ok, const QString& what);

    QString m_error;
};
