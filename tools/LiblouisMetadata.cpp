#include "LiblouisMetadata.h"

#include "Keys.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace {

const QString kUserDefined = QStringLiteral("UserDefined");

QStringList indexParts(const LiblouisHeader& header)
{
    QStringList parts = header.description(QStringLiteral("index-name")).split(QLatin1Char(','));
    for (QString& part : parts) {
        part = part.simplified();
    }
    parts.removeAll(QString());
    return parts;
}

// Words that say what kind of table it is, never where it is used.
bool isKindWord(const QString& part)
{
    static const QSet<QString> kinds { QStringLiteral("computer"), QStringLiteral("contracted"),
        QStringLiteral("uncontracted"), QStringLiteral("partially contracted") };
    return kinds.contains(part.toLower());
}

bool hasRegionSubtag(const LiblouisHeader& header)
{
    return header.contains(QStringLiteral("region"))
        && header.value(QStringLiteral("region")).contains(QLatin1Char('-'));
}

QString safeName(QString name)
{
    return name.replace(QLatin1Char('/'), QLatin1Char('-'));
}

QString tableKey(const QStringList& parts, const QJsonObject& entry)
{
    QStringList words;
    for (QString part : parts) {
        part = part.toLower();
        part.replace(QRegularExpression(QStringLiteral("(\\d)-dot")), QStringLiteral("\\1dot"));
        part.replace(QLatin1Char(' '), QLatin1Char('_'));
        words.append(part);
    }
    if (words.isEmpty()) {
        words.append(QStringLiteral("grade") + entry.value(QStringLiteral("grade:")).toString());
    }
    return safeName(words.join(QLatin1Char('_')));
}

bool writeJson(const QString& path, const QJsonObject& object, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) < 0
        || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

void LiblouisMetadata::addTable(const QString& fileName, const LiblouisHeader& header)
{
    if (!header.description(QStringLiteral("index-name")).isEmpty()) {
        m_tables.append({ fileName, header });
    }
}

QJsonObject LiblouisMetadata::entry(const QString& fileName, const LiblouisHeader& header)
{
    QJsonObject entry;
    QStringList inferred;
    const QString type = header.value(QStringLiteral("type"));
    const bool computer = type == QLatin1String("computer");

    QString dots = header.value(QStringLiteral("dots"));
    if (dots.isEmpty()) {
        dots = computer ? QStringLiteral("8") : QStringLiteral("6");
        inferred.append(QStringLiteral("dots:"));
    }
    const QString contraction = header.value(QStringLiteral("contraction"));
    QString grade = header.value(QStringLiteral("grade"));
    if (grade.isEmpty()) {
        grade = computer                           ? QStringLiteral("0")
            : contraction == QLatin1String("full") ? QStringLiteral("2")
                                                   : QStringLiteral("1");
        inferred.append(QStringLiteral("grade:"));
    }
    QString contractionValue = contraction;
    if (contractionValue.isEmpty()) {
        contractionValue = !computer && grade.toDouble() >= 2 ? QStringLiteral("full") : QStringLiteral("no");
        inferred.append(QStringLiteral("contraction:"));
    }

    entry.insert(QStringLiteral("name:"), header.description(QStringLiteral("index-name")));
    const QString displayName = header.description(QStringLiteral("display-name"));
    if (!displayName.isEmpty()) {
        entry.insert(QStringLiteral("display-name:"), displayName);
    }
    entry.insert(QStringLiteral("dots:"), dots);
    entry.insert(QStringLiteral("grade:"), grade);
    entry.insert(QStringLiteral("contraction:"), contractionValue);
    entry.insert(QStringLiteral("type:"), type.isEmpty() ? ls::notSpecifiedKey : type);
    const QString locale = header.value(QStringLiteral("region"));
    entry.insert(QStringLiteral("locale:"), locale.isEmpty() ? ls::notSpecifiedKey : locale);
    const QString direction = header.value(QStringLiteral("direction"));
    if (!direction.isEmpty()) {
        entry.insert(QStringLiteral("direction:"), direction);
    }
    entry.insert(QStringLiteral("status:"), QStringLiteral("active"));
    entry.insert(QStringLiteral("sourcefile:"), fileName);
    if (!inferred.isEmpty()) {
        entry.insert(QStringLiteral("inferred:"), inferred.join(QLatin1Char(' ')));
    }
    return entry;
}

QMap<QString, QJsonObject> LiblouisMetadata::languages() const
{
    // Qualifiers that name a region: the second index-name part of tables with a region subtag.
    QHash<QString, QSet<QString>> regionQualifiers;
    for (const Table& table : m_tables) {
        const QStringList parts = indexParts(table.header);
        if (parts.size() > 1 && hasRegionSubtag(table.header) && !isKindWord(parts.at(1))) {
            regionQualifiers[parts.at(0)].insert(parts.at(1));
        }
    }

    struct Placed {
        QString language;
        QString key;
        QString fileName;
        QJsonObject entry;
    };
    QList<Placed> placed;
    QHash<QString, int> keyUse;
    for (const Table& table : m_tables) {
        QStringList parts = indexParts(table.header);
        QString language = parts.takeFirst();
        if (!parts.isEmpty() && regionQualifiers.value(language).contains(parts.first())) {
            language = QStringLiteral("%1 (%2)").arg(language, parts.takeFirst());
        }
        Placed item { safeName(language), QString(), table.fileName, entry(table.fileName, table.header) };
        item.key = tableKey(parts, item.entry);
        ++keyUse[item.language + QLatin1Char('/') + item.key];
        placed.append(item);
    }

    QMap<QString, QJsonObject> result;
    for (Placed& item : placed) {
        if (keyUse.value(item.language + QLatin1Char('/') + item.key) > 1) {
            item.key += QLatin1Char('_') + QFileInfo(item.fileName).completeBaseName().toLower();
        }
        result[item.language].insert(item.key, item.entry);
    }

    if (!result.isEmpty()) {
        QString language = QStringLiteral("English (U.S.)");
        QString key = QStringLiteral("contracted");
        if (!result.value(language).contains(key)) {
            language = result.firstKey();
            key = result.first().keys().first();
        }
        QJsonObject superseded = result.value(language).value(key).toObject();
        superseded.insert(QStringLiteral("status:"), QStringLiteral("replaced"));
        superseded.insert(QStringLiteral("replaced-by:"), QStringLiteral("%1/%2").arg(language, key));
        const QString displayName = superseded.value(QStringLiteral("display-name:")).toString();
        if (!displayName.isEmpty()) {
            superseded.insert(QStringLiteral("display-name:"), displayName + QStringLiteral(" (superseded entry)"));
        }
        result[language].insert(key + QStringLiteral("_superseded"), superseded);
    }
    return result;
}

QJsonObject LiblouisMetadata::userDefined()
{
    QJsonObject userSlots;
    for (const char* digits : { "6", "8" }) {
        const QString dots = QLatin1String(digits);
        QJsonObject slot;
        slot.insert(QStringLiteral("display-name:"), QStringLiteral("User defined %1-dot table").arg(dots));
        slot.insert(QStringLiteral("contraction:"), QStringLiteral("no"));
        slot.insert(QStringLiteral("dots:"), dots);
        slot.insert(QStringLiteral("grade:"), QStringLiteral("0"));
        slot.insert(QStringLiteral("locale:"), ls::notSpecifiedKey);
        slot.insert(QStringLiteral("status:"), QStringLiteral("not defined"));
        slot.insert(QStringLiteral("type:"), QStringLiteral("computer"));
        slot.insert(QStringLiteral("sourcefile:"), QStringLiteral("user_defined_%1dot.ctb").arg(dots));
        userSlots.insert(QStringLiteral("grade0_%1dot").arg(dots), slot);
    }
    return userSlots;
}

bool LiblouisMetadata::write(const QString& root, QString* error) const
{
    const QMap<QString, QJsonObject> all = languages();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (!writeJson(QStringLiteral("%1/%2/%3.json").arg(root, it.key(), it.key()), it.value(), error)) {
            return false;
        }
    }
    return writeJson(QStringLiteral("%1/%2/%3.json").arg(root, kUserDefined, kUserDefined), userDefined(), error);
}
