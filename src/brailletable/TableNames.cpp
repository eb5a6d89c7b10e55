#include "TableNames.h"

#include "SafePath.h"

#include "MetadataKeys.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString blanked(QString text)
{
    return text.replace(QLatin1Char('_'), QLatin1Char(' ')).simplified();
}

} // namespace

const QString& TableNames::userSlot6Dot()
{
    static const QString name = QStringLiteral("user_defined_6dot");
    return name;
}

const QString& TableNames::userSlot8Dot()
{
    static const QString name = QStringLiteral("user_defined_8dot");
    return name;
}

const QString& TableNames::userKey6Dot()
{
    static const QString key = QStringLiteral("grade0_6dot");
    return key;
}

const QString& TableNames::userKey8Dot()
{
    static const QString key = QStringLiteral("grade0_8dot");
    return key;
}

bool TableNames::split(const QString& name, QString& language, QString& table)
{
    const int slash = name.indexOf(QLatin1Char('/'));
    if (slash <= 0) {
        return false;
    }
    const QString first = name.left(slash);
    const QString second = name.mid(slash + 1);
    if (!SafePath::isPlainName(first) || !SafePath::isPlainName(second)) {
        return false;
    }
    language = first;
    table = second;
    return true;
}

QString TableNames::languageMetadataFile(const QString& root, const QString& language)
{
    return QStringLiteral("%1/%2/%3.json").arg(root, language, language);
}

bool TableNames::hasDisplayName(const QVariantMap& entry)
{
    const QString name = entry.value(MetadataKeys::displayName).toString();
    return !name.isEmpty() && name != ls::notSpecifiedKey;
}

QString TableNames::liblouisDisplayName(const QString& language, const QString& table)
{
    return QStringLiteral("%1 %2").arg(language.simplified(), blanked(table));
}

QString TableNames::legacyDisplayName(const QString& name)
{
    const auto withoutSuffix = [](QString file) {
        if (file.endsWith(QLatin1String(".ebc"))) {
            file.chop(4);
        }
        return blanked(file);
    };
    const int slash = name.indexOf(QLatin1Char('/'));
    if (slash < 1) {
        return withoutSuffix(name);
    }
    return QStringLiteral("%1, %2").arg(blanked(name.left(slash)), withoutSuffix(name.mid(slash + 1)));
}

QString TableNames::userTableKey(const QString& name)
{
    if (name.contains(userSlot6Dot())) {
        return userKey6Dot();
    }
    if (name.contains(userSlot8Dot())) {
        return userKey8Dot();
    }
    return QString();
}

QString TableNames::userTableSlot(const QString& name)
{
    if (name.contains(userSlot6Dot())) {
        return userSlot6Dot();
    }
    if (name.contains(userSlot8Dot())) {
        return userSlot8Dot();
    }
    return QString();
}

const QString& TableNames::userLanguage()
{
    static const QString language = QStringLiteral("UserDefined");
    return language;
}

QString TableNames::userTableId(const QString& name)
{
    const QString key = userTableKey(name);
    return key.isEmpty() ? QString() : QStringLiteral("%1/%2").arg(userLanguage(), key);
}

int TableNames::userTableDots(const QString& name)
{
    // "user_defined_8dot6.ctb" is the 8-dot slot's file: the slot, not a stray digit, decides.
    const QString slot = userTableSlot(name);
    if (!slot.isEmpty()) {
        return slot == userSlot6Dot() ? 6 : 8;
    }
    return name.contains(QLatin1Char('6')) ? 6 : 8;
}
