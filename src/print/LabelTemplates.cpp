#include "LabelTemplates.h"

#include "SafePath.h"
#include "libcorvane/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A dangling link is a taken name too: writing there would replace someone's link.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

LabelTemplates::LabelTemplates(const QString& directory)
    : m_directory(directory)
{
}

LabelTemplates::Outcome LabelTemplates::read(const QString& name, QVariantMap& out) const
{
    out.clear();
    const QString path = SafePath::child(m_directory, name);
    if (path.isEmpty()) {
        return Outcome::BadName;
    }
    QFile file(path);
    if (file.size() > maxBytes || !file.open(QIODevice::ReadOnly)) {
        return Outcome::Done;
    }
    out = QJsonDocument::fromJson(file.read(maxBytes)).object().toVariantMap();
    return Outcome::Done;
}

int LabelTemplates::entryCount() const
{
    return int(
        QDir(m_directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size());
}

// Every stem is checked, numbered ones too: "(n)" can push a name past the longest file name.
QString LabelTemplates::freeStem(const QString& base, const QStringList& suffixes, int limit) const
{
    for (int n = 0; n <= limit; ++n) {
        const QString stem = n == 0 ? base : QStringLiteral("%1(%2)").arg(base).arg(n);
        bool free = true;
        for (const QString& suffix : suffixes) {
            const QString path = SafePath::child(m_directory, stem + suffix);
            if (path.isEmpty()) {
                return QString();
            }
            free = free && !isTaken(path);
        }
        if (free) {
            return stem;
        }
    }
    return QString();
}

LabelTemplates::Outcome LabelTemplates::save(
    const QString& base, const QList<QPair<QString, QByteArray>>& files, QString& stem) const
{
    QStringList suffixes;
    for (const auto& file : files) {
        if (file.second.size() > maxBytes) {
            return Outcome::TooLarge;
        }
        suffixes << file.first;
    }
    if (!SafePath::isPlainName(base)) {
        return Outcome::BadName;
    }
    const int entries = entryCount();
    if (entries + files.size() > maxFiles) {
        return Outcome::Full;
    }
    // With `entries` names taken, one of the first entries + 1 stems is free.
    stem = freeStem(base, suffixes, entries);
    if (stem.isEmpty()) {
        return Outcome::BadName;
    }
    QStringList written;
    for (const auto& file : files) {
        const QString path = QStringLiteral("%1/%2%3").arg(m_directory, stem, file.first);
        if (!libcorvane::AtomicFile::write(path, file.second)) {
            for (const QString& done : qAsConst(written)) {
                QFile::remove(done);
            }
            return Outcome::WriteFailed;
        }
        written << path;
    }
    return Outcome::Done;
}
