#include "LegacyTableSet.h"

#include "Keys.h"
#include "LegacyTableFormat.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSaveFile>

namespace {

// Braille ASCII: the character of each 6-dot pattern (dot 1 = bit 0).
const char kBrailleAscii[] = " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";
constexpr quint16 kDot7 = 0x40;
constexpr quint16 kDot8 = 0x80;
constexpr int kTypeValueEnd
    = LegacyTableFormat::fieldOffset(lcm::LegacyTable::TypeValue) + LegacyTableFormat::FieldSize;

int asciiPattern(int code)
{
    for (int pattern = 0; pattern < 64; ++pattern) {
        if (kBrailleAscii[pattern] == code) {
            return pattern;
        }
    }
    return -1;
}

// The cell of a code below 0x80 in Braille ASCII.
quint16 baseCell(int code, bool eightDot)
{
    if (code >= 0x20 && code < 0x40) {
        return quint16(asciiPattern(code));
    }
    if (code >= 0x40 && code < 0x60) {
        return quint16(asciiPattern(code) | (eightDot ? kDot7 : 0));
    }
    if (code >= 0x60 && code < 0x7f) {
        return quint16(asciiPattern(code - 0x20));
    }
    return eightDot ? quint16(asciiPattern((code & 0x1f) + 0x40) | kDot7 | kDot8) : 0;
}

QString text(const QJsonObject& table, const QJsonObject& language, const QJsonObject& defaults, const QString& key)
{
    if (table.contains(key)) {
        return table.value(key).toString();
    }
    if (language.contains(key)) {
        return language.value(key).toString();
    }
    return defaults.value(key).toString();
}

bool writeFile(const QString& path, const QByteArray& content, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool LegacyTableSet::load(const QString& descriptionPath, QString* error)
{
    QFile file(descriptionPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(descriptionPath);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("%1: %2 at offset %3")
                     .arg(descriptionPath, parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    const QJsonObject root = document.object();
    const QJsonObject defaults = root.value(QStringLiteral("defaults")).toObject();
    const QJsonObject languages = root.value(QStringLiteral("languages")).toObject();
    for (auto it = languages.begin(); it != languages.end(); ++it) {
        if (!addLanguage(it.key(), it.value().toObject(), defaults, error)) {
            return false;
        }
    }
    return true;
}

bool LegacyTableSet::addLanguage(
    const QString& language, const QJsonObject& description, const QJsonObject& defaults, QString* error)
{
    // National cells: character -> dots, small letters give their capitals too.
    QMap<int, quint16> national;
    const QJsonObject cells = description.value(QStringLiteral("cells")).toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const int dots = LegacyTable::dotsFromText(it.value().toString());
        const QString character = it.key();
        if (dots < 0 || character.size() != 1 || character.at(0).unicode() > 0xff) {
            *error = QStringLiteral("%1: bad cell %2 = %3").arg(language, character, it.value().toString());
            return false;
        }
        national.insert(character.at(0).unicode(), quint16(dots));
    }

    for (const QJsonValue value : description.value(QStringLiteral("tables")).toArray()) {
        const QJsonObject source = value.toObject();
        Table entry;
        entry.language = language;
        entry.file = source.value(QStringLiteral("file")).toString() + QStringLiteral(".ebc");
        const QString typeValue = source.value(QStringLiteral("typeValue")).toString();
        entry.typeCode = LegacyTableFormat::typeCode(typeValue);
        entry.dots = LegacyTableFormat::dotsOf(entry.typeCode);
        const bool eightDot = entry.dots == 8;
        const bool capitalPrefix = entry.typeCode == LegacyTableFormat::WithCapitalPrefix;

        using Field = LegacyTable::Field;
        const std::pair<Field, const char*> fields[] = { { Field::Header, "header" }, { Field::Version, "version" },
            { Field::Creator, "creator" }, { Field::Date, "date" }, { Field::Description, "description" },
            { Field::Speech, "speech" }, { Field::PageNoText, "pageNoText" }, { Field::Type, "type" },
            { Field::Free1, "free1" }, { Field::Free2, "free2" } };
        for (const auto& field : fields) {
            const QString value = text(source, description, defaults, QLatin1String(field.second));
            if (!entry.table.setField(field.first, value)) {
                *error = QStringLiteral("%1/%2: %3 does not fit: %4").arg(language, entry.file, field.second, value);
                return false;
            }
        }
        if (!entry.table.setField(Field::TypeValue, typeValue)) {
            *error = QStringLiteral("%1/%2: bad typeValue").arg(language, entry.file);
            return false;
        }

        for (int code = 0; code < LegacyTable::CharacterCount; ++code) {
            quint16 flags = 0;
            quint16 dots = 0;
            const bool capital = (code >= 'A' && code <= 'Z') || (code >= 0xc0 && code <= 0xde && code != 0xd7);
            if (national.contains(code)) {
                dots = national.value(code);
                flags = LegacyTable::Defined;
            } else if (capital && code >= 0xc0 && national.contains(code + 0x20)) {
                dots = quint16(national.value(code + 0x20) | (eightDot ? kDot7 : 0));
                flags = LegacyTable::Defined;
            } else if (code < 0x80) {
                dots = baseCell(code, eightDot);
                flags = (code >= 0x20 && code < 0x7f) || eightDot ? LegacyTable::Defined : 0;
            } else if (eightDot) {
                dots = quint16(baseCell(code & 0x7f, true) | kDot8);
                flags = LegacyTable::Defined;
            }
            if (capital && capitalPrefix && (flags & LegacyTable::Defined)) {
                flags |= LegacyTable::CapitalPrefix;
            }
            entry.table.setCell(code, dots, flags);
        }
        const std::pair<LegacyTable::Sign, const char*> signs[] = { { LegacyTable::CapitalSign, "capitalSign" },
            { LegacyTable::NumberSign, "numberSign" }, { LegacyTable::LetterSign, "letterSign" } };
        for (const auto& sign : signs) {
            const int dots = LegacyTable::dotsFromText(text(source, description, defaults, QLatin1String(sign.second)));
            entry.table.setSign(sign.first, dots < 0 ? 0 : quint16(dots));
        }
        if (source.contains(QStringLiteral("length"))) {
            entry.length = qBound(0, source.value(QStringLiteral("length")).toInt(), LegacyTableFormat::FileSize);
        }
        // A file cut off before its type reads as a 6-dot table of no known type.
        if (entry.length < kTypeValueEnd) {
            entry.typeCode = LegacyTableFormat::OtherType;
            entry.dots = LegacyTableFormat::dotsOf(entry.typeCode);
        }

        const QString displayName = source.value(QStringLiteral("displayName")).toString();
        const QString locale = text(source, description, defaults, QStringLiteral("locale"));
        QJsonObject& metadata = entry.metadata;
        metadata.insert(QStringLiteral("display-name:"), displayName);
        metadata.insert(QStringLiteral("name:"), displayName);
        metadata.insert(QStringLiteral("dots:"), QString::number(entry.dots));
        metadata.insert(QStringLiteral("grade:"), QStringLiteral("0"));
        metadata.insert(QStringLiteral("contraction:"), QStringLiteral("no"));
        metadata.insert(QStringLiteral("type:"), QStringLiteral("computer"));
        metadata.insert(QStringLiteral("locale:"), locale.isEmpty() ? ls::notSpecifiedKey : locale);
        metadata.insert(QStringLiteral("status:"), QStringLiteral("active"));
        metadata.insert(QStringLiteral("source:"), QStringLiteral("legacy-table"));
        metadata.insert(QStringLiteral("sourcefile:"), entry.file);
        metadata.insert(QStringLiteral("legacy-type:"), QString::number(entry.typeCode));
        metadata.insert(ls::tableFileKey, QStringLiteral("%1/%2").arg(language, entry.file));
        m_tables.append(entry);
    }
    return true;
}

bool LegacyTableSet::write(const QString& root, QString* error) const
{
    const QDir tablesRoot(QDir(root).filePath(QStringLiteral("usr/share/embosser/tables")));
    QMap<QString, QJsonObject> metadata;
    for (const Table& entry : m_tables) {
        if (!tablesRoot.mkpath(entry.language)) {
            *error = QStringLiteral("cannot create %1").arg(tablesRoot.filePath(entry.language));
            return false;
        }
        const QString path = tablesRoot.filePath(entry.language + QLatin1Char('/') + entry.file);
        if (!writeFile(path, entry.table.encode().left(entry.length), error)) {
            return false;
        }
        metadata[entry.language].insert(entry.file, entry.metadata);
    }
    for (auto it = metadata.cbegin(); it != metadata.cend(); ++it) {
        const QString path = tablesRoot.filePath(QStringLiteral("%1/%1.json").arg(it.key()));
        if (!writeFile(path, QJsonDocument(it.value()).toJson(QJsonDocument::Indented), error)) {
            return false;
        }
    }
    return true;
}
