#include "LegacyTableBuffer.h"

#include "LegacyTableFormat.h"
#include "libcorvane/LogPrefix.h"

#include <QFile>
#include <QtEndian>

#include <cstddef>
#include <cstring>

CM_LOGGING_CATEGORY(lcLegacyTableBuffer, "LegacyTableBuffer")

namespace {

namespace Format = LegacyTableFormat;

// The file image as laid out on disk; every member sits at its file offset.
struct Image {
    quint32 formatWord;
    char fields[Format::FieldCount][Format::FieldSize];
    quint16 records[Format::RecordCount][Format::RecordWords];
    quint8 raw[Format::RawSize];
};
static_assert(sizeof(Image) == Format::FileSize, "legacy table image must match the file");
static_assert(offsetof(Image, fields) == Format::FieldsOffset, "text fields at their file offset");
static_assert(offsetof(Image, records) == Format::RecordsOffset, "records at their file offset");
static_assert(offsetof(Image, raw) == Format::RawOffset, "raw bytes at their file offset");

Image current; // zero-initialised: no table loaded reads as an empty one

} // namespace

bool LegacyTableBuffer::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LOG_ERROR(lcLegacyTableBuffer) << "Failed to open file" << path;
        return false;
    }
    std::memset(&current, 0, sizeof(current));
    char* target = reinterpret_cast<char*>(&current);
    qint64 filled = 0;
    while (filled < Format::FileSize) {
        const qint64 count = file.read(target + filled, Format::FileSize - filled);
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
    const char* text = current.fields[Format::slotOf(field)];
    return QString::fromLatin1(text, static_cast<int>(qstrnlen(text, Format::FieldSize)));
}

quint32 LegacyTableBuffer::formatWord()
{
    return current.formatWord;
}

quint16 LegacyTableBuffer::recordWord(int record, int word)
{
    if (record < 0 || record >= Format::RecordCount || word < 0 || word >= Format::RecordWords) {
        return 0;
    }
    return current.records[record][word];
}

quint8 LegacyTableBuffer::rawByte(int index)
{
    return (index >= 0 && index < Format::RawSize) ? current.raw[index] : 0;
}

int LegacyTableBuffer::dots()
{
    return Format::dotsOf(typeCode());
}

int LegacyTableBuffer::typeCode()
{
    return Format::typeCode(field(lcm::LegacyTable::TypeValue));
}
