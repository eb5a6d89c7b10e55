#include "SafePath.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The canonical form of a path whose tail may not exist yet: the longest existing ancestor is
// resolved and the rest appended unchanged.
QString resolved(const QString& path)
{
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    QString rest;
    QString canonical = info.canonicalFilePath();
    while (canonical.isEmpty()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath()) {
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        }
        rest.prepend(QLatin1Char('/') + info.fileName());
        info = QFileInfo(parent);
        canonical = info.canonicalFilePath();
    }
    return canonical == QLatin1String("/") ? rest : canonical + rest;
}

} // namespace

bool SafePath::isPlainName(const QString& name)
{
    return !name.isEmpty() && name.size() <= maxNameLength && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1String("..")) && !name.contains(QChar(0));
}

bool SafePath::isInside(const QString& directory, const QString& path)
{
    const QString root = resolved(directory);
    return resolved(path).startsWith(root + QLatin1Char('/'));
}

QString SafePath::child(const QString& directory, const QString& name)
{
    const QString path = directory + QLatin1Char('/') + name;
    return isPlainName(name) && isInside(directory, path) ? path : QString();
}
