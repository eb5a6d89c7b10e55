#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// One legacy braille table (".ebc") in its fixed binary form: 3108 bytes, big-endian.
//   0     4     format word
//   4     11 x 50  text fields, NUL-padded ASCII, in the order Header, Version, Creator, Date,
//                  Description, Speech, PageNoText, Type, TypeValue, Free1, Free2
//   554   259 x 3 x 16-bit  cell records: records 0..255 are the characters of the table's code
//                  page (dots, character code, flags), 256..258 the capital, number and letter
//                  signs (dots, 0, kind)
//   2108  1000     back-translation bytes: for each dot pattern 0..255 the character it reads
//                  as (0 when none), then zeros
// Dots are bit masks, dot 1 in bit 0 to dot 8 in bit 7.
class LegacyTable {
public:
    // The text fields, numbered as the service's LegacyTable enumeration.
    enum Field { Header = 0, Version, Type, Speech, Creator, Description, Date, PageNoText, TypeValue, Free1, Free2 };
    enum Sign { CapitalSign = 0, NumberSign, LetterSign };
    enum CellFlag : quint16 { Defined = 0x0001, CapitalPrefix = 0x0002 };

    static constexpr int FileSize = 3108;
    static constexpr int FieldSize = 50;
    static constexpr int FieldCount = 11;
    static constexpr int CharacterCount = 256;
    static constexpr int RecordCount = 259;
    static constexpr int RawSize = 1000;
    static constexpr quint32 FormatWord = 0x43425431; // "CBT1"

    // False when the text does not fit a field (49 characters and a NUL) or is not ASCII.
    bool setField(Field field, const QString& text);
    QString field(Field field) const { return m_fields.at(field); }
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
    std::array<QString, FieldCount> m_fields;
    std::array<Cell, CharacterCount> m_cells {};
    std::array<quint16, 3> m_signs {};
};
