#include "ServiceWatcher.h"

#include "AtomicFile.h"
#include "FileSystemRoot.h"
#include "LogPrefix.h"

namespace {
CM_LOGGING_CATEGORY(lc, "ServiceWatcher")
}

QString ServiceWatcher::filePath(const QString& name)
{
    return libcorvane::FileSystemRoot::join(QStringLiteral("/var/run/service-watcher/") + name);
}

bool ServiceWatcher::setReady(const QString& name, bool ready)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar(0)) || name == QLatin1String(".")
        || name == QLatin1String("..")) {
        LOG_ERROR(lc) << "invalid service name" << name;
        return false;
    }
    const QString path = filePath(name);
    if (!libcorvane::AtomicFile::write(path, ready ? QByteArrayLiteral("1") : QByteArrayLiteral("0"))) {
        LOG_FAILED(lc) << "writing readiness of" << name << "to" << path << "failed!";
        return false;
    }
    LOG_DEBUG(lc) << name << (ready ? "ready" : "not ready");
    return true;
}
