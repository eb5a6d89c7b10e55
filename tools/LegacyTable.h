#pragma once

#include "LegacyTableFormat.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// One legacy braille table (".ebc") in its fixed binary form (LegacyTableFormat gives the layout).
// What the generator puts into the parts the service does not interpret:
//   format word   LegacyTableFormat::FormatWord
//   records       0..255 the characters of the table's code page (dots, character code, flags),
//                 256..258 the capital, number and letter signs (dots, 0, kind)
//   raw bytes     back-translation: for each dot pattern 0..255 the character it reads as (0 when
//                 none), then zeros
// Dots are bit masks, dot 1 in bit 0 to dot 8 in bit 7.
class LegacyTable {
public:
    using Field = lcm::LegacyTable;
    enum Sign { CapitalSign = 0, NumberSign, LetterSign };
    enum CellFlag : quint16 { Defined = 0x0001, CapitalPrefix = 0x0002 };

    static constexpr int CharacterCount = 256;

    // False when the text does not fit a field (49 characters and a NUL) or is not ASCII.
    bool setField(Field field, const QString& text);
    QString field(Field field) const { return m_fields.at(static_cast<int>(field)); }
    void setCell(int code, quint16 dots, quint16 flags);
    quint16 cellDots(int code) const { return m_cells.at(code).dots; }
    void setSign(Sign sign, quint16 dots);

    QByteArray encode() const;

    // "1246" -> dots 1, 2, 4 and 6; -1 for anything but the digits 1 to 8.
    static int dotsFromText(const QString& text);

private:
    struct Cell {
        quint16 dots = 0;
        quint16 flags = 0;
    };
    std::array<QString, LegacyTableFormat::FieldCount> m_fields;
    std::array<Cell, CharacterCount> m_cells {};
    std::array<quint16, 3> m_signs {};
};
