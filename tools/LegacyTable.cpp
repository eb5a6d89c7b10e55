#include "LegacyTable.h"

#include <QtEndian>

namespace {

namespace Format = LegacyTableFormat;
static_assert(LegacyTable::CharacterCount + 3 == Format::RecordCount, "a record per character and per sign");

void appendWord16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

bool LegacyTable::setField(Field field, const QString& text)
{
    if (text.size() >= Format::FieldSize) {
        return false;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            return false;
        }
    }
    m_fields[static_cast<int>(field)] = text;
    return true;
}

void LegacyTable::setCell(int code, quint16 dots, quint16 flags)
{
    m_cells[code] = Cell { dots, flags };
}

void LegacyTable::setSign(Sign sign, quint16 dots)
{
    m_signs[sign] = dots;
}

QByteArray LegacyTable::encode() const
{
    QByteArray out;
    out.reserve(Format::FileSize);
    char word[4];
    qToBigEndian(Format::FormatWord, word);
    out.append(word, 4);

    for (const Field field : Format::FieldOrder) {
        out.append(this->field(field).toLatin1().leftJustified(Format::FieldSize, '\0', true));
    }

    for (int code = 0; code < CharacterCount; ++code) {
        appendWord16(out, m_cells.at(code).dots);
        appendWord16(out, quint16(code));
        appendWord16(out, m_cells.at(code).flags);
    }
    for (int sign = 0; sign < 3; ++sign) {
        appendWord16(out, m_signs.at(sign));
        appendWord16(out, 0);
        appendWord16(out, quint16(sign + 1));
    }

    // Back-translation: printable ASCII (lower case first) wins over the other characters.
    QByteArray raw(Format::RawSize, '\0');
    QByteArray taken(CharacterCount, '\0');
    auto claim = [&](int from, int to) {
        for (int code = from; code <= to; ++code) {
            const Cell& cell = m_cells.at(code);
            if ((cell.flags & Defined) && !taken.at(cell.dots)) {
                raw[cell.dots] = char(code);
                taken[cell.dots] = 1;
            }
        }
    };
    claim(0x60, 0x7e);
    claim(0x20, 0x5f);
    claim(0xa0, 0xff);
    out.append(raw);
    Q_ASSERT(out.size() == Format::FileSize);
    return out;
}

int LegacyTable::dotsFromText(const QString& text)
{
    if (text.isEmpty()) {
        return -1;
    }
    int dots = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('1') || c > QLatin1Char('8')) {
            return -1;
        }
        dots |= 1 << (c.unicode() - '1');
    }
    return dots;
}
