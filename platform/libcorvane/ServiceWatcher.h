#pragma once

#include <QString>

// Makes a service's readiness observable to the supervisor: setReady writes "1" or "0" to
// "/var/run/service-watcher/<name>" under the file-system root, atomically, creating the
// directory when needed. Start scripts and tests wait on that file.
class ServiceWatcher {
public:
    // False (and a log line) when the name is not a plain file name or the file cannot be written.
    static bool setReady(const QString& name, bool ready);

    // The readiness file of `name`.
    static QString filePath(const QString& name);
};
