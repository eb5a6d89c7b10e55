#include "FileSystemRoot.h"

#include <QDir>
#include <QFileInfo>

namespace libcorvane {

QString FileSystemRoot::path()
{
    // Read on every call: it is cheap next to the file access that follows, and tests switch
    // roots within one process.
    const QString value = qEnvironmentVariable("CONFIGURATION_MANAGER_ROOT");
    if (value.isEmpty()) {
        return QStringLiteral("/");
    }
    return QDir::cleanPath(QFileInfo(value).absoluteFilePath());
}

QString FileSystemRoot::join(const QString& absolutePath)
{
    const QString root = path();
    if (root == QLatin1String("/")) {
        return absolutePath;
    }
    if (absolutePath.startsWith(QLatin1Char('/'))) {
        return root + absolutePath;
    }
    return root + QLatin1Char('/') + absolutePath;
}

} // namespace libcorvane
