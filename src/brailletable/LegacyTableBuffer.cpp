#include "LegacyTableBuffer.h"

#include <QFile>
#include <QtEndian>

#include <cstddef>
#include <cstring>

namespace {

// The file image as laid out on disk; every member sits at its file offset.
struct Image {
    quint32 formatWord;
    char fields[LegacyTableBuffer::FieldCount][LegacyTableBuffer::FieldSize];
    quint16 records[LegacyTableBuffer::RecordCount][LegacyTableBuffer::RecordWords];
    quint8 raw[LegacyTableBuffer::RawSize];
};
static_assert(sizeof(Image) == LegacyTableBuffer::FileSize, "legacy table image must match the file");
static_assert(offsetof(Image, fields) == 4, "text fields start at offset 4");
static_assert(offsetof(Image, records) == 554, "records start at offset 554");
static_assert(offsetof(Image, raw) == 2108, "raw bytes start at offset 2108");

Image current; // zero-initialised: no table loaded reads as an empty one

// Position of each field in the file, indexed by its enumeration value (the file keeps the
// order Header, Version, Creator, Date, Description, Speech, PageNoText, Type, TypeValue, Free1,
// Free2).
constexpr int fileSlot[LegacyTableBuffer::FieldCount] = {
    0, // Header
    1, // Version
    7, // Type
    5, // Speech
    2, // Creator
    4, // Description
    3, // Date
    6, // PageNoText
    8, // TypeValue
    9, // Free1
    10, // Free2
};

QString fieldText(int slot)
{
    const char* text = current.fields[slot];
    return QString::fromLatin1(text, static_cast<int>(qstrnlen(text, LegacyTableBuffer::FieldSize)));
}

} // namespace

bool LegacyTableBuffer::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    std::memset(&current, 0, sizeof(current));
    char* target = reinterpret_cast<char*>(&current);
    qint64 filled = 0;
    while (filled < FileSize) {
        const qint64 count = file.read(target + filled, FileSize - filled);
        if (count <= 0) {
            break; // a short file leaves the rest zeroed
        }
        filled += count;
    }
    current.formatWord = qFromBigEndian(current.formatWord);
    for (auto& record : current.records) {
        for (quint16& word : record) {
            word = qFromBigEndian(word);
        }
    }
    return true;
}

QString LegacyTableBuffer::field(lcm::LegacyTable field)
{
    const int value = static_cast<int>(field);
    const int index = (value >= 0 && value < FieldCount) ? value : static_cast<int>(lcm::LegacyTable::Header);
    return fieldText(fileSlot[index]);
}

quint32 LegacyTableBuffer::formatWord()
{
    return current.formatWord;
}

quint16 LegacyTableBuffer::recordWord(int record, int word)
{
    if (record < 0 || record >= RecordCount || word < 0 || word >= RecordWords) {
        return 0;
    }
    return current.records[record][word];
}

quint8 LegacyTableBuffer::rawByte(int index)
{
    return (index >= 0 && index < RawSize) ? current.raw[index] : 0;
}

int LegacyTableBuffer::dots()
{
    return field(lcm::LegacyTable::TypeValue) == QLatin1String("8 DOT") ? 8 : 6;
}

int LegacyTableBuffer::typeCode()
{
    const QString typeValue = field(lcm::LegacyTable::TypeValue);
    if (typeValue == QLatin1String("8 DOT")) {
        return 1;
    }
    if (typeValue == QLatin1String("WITH CAPITAL PREFIX")) {
        return 2;
    }
    if (typeValue == QLatin1String("WITHOUT CAPITAL PREFIX")) {
        return 3;
    }
    return 0;
}
