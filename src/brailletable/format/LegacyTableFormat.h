#pragma once

#include "lcm/EnumDetail.h"

#include <QLatin1String>
#include <QString>

// The legacy braille table file (".ebc"): the one description of its layout, read by the service
// and written by the table generator in tools/. 3108 bytes, big-endian:
//   offset  size      content
//   0       4         a 32-bit word (the generator writes FormatWord; readers do not interpret it)
//   4       11 x 50   text fields, NUL-padded ASCII, in FieldOrder
//   554     259 x 6   records of three 16-bit words
//   2108    1000      raw bytes
// The TypeValue field names the table's type, which gives its type code and dot count.
namespace LegacyTableFormat {

inline constexpr quint32 FormatWord = 0x43425431; // "CBT1"
inline constexpr int FieldsOffset = 4;
inline constexpr int FieldSize = 50;
inline constexpr int FieldCount = 11;
inline constexpr int RecordsOffset = FieldsOffset + FieldCount * FieldSize;
inline constexpr int RecordCount = 259;
inline constexpr int RecordWords = 3;
inline constexpr int RawOffset = RecordsOffset + RecordCount * RecordWords * 2;
inline constexpr int RawSize = 1000;
inline constexpr int FileSize = RawOffset + RawSize;
static_assert(RecordsOffset == 554 && RawOffset == 2108 && FileSize == 3108, "the .ebc layout is fixed");

// The text fields in the order the file stores them.
inline constexpr lcm::LegacyTable FieldOrder[FieldCount]
    = { lcm::LegacyTable::Header, lcm::LegacyTable::Version, lcm::LegacyTable::Creator, lcm::LegacyTable::Date,
          lcm::LegacyTable::Description, lcm::LegacyTable::Speech, lcm::LegacyTable::PageNoText, lcm::LegacyTable::Type,
          lcm::LegacyTable::TypeValue, lcm::LegacyTable::Free1, lcm::LegacyTable::Free2 };

// Position of a field in FieldOrder; a value outside the enumeration is taken as Header.
constexpr int slotOf(lcm::LegacyTable field)
{
    for (int slot = 0; slot < FieldCount; ++slot) {
        if (FieldOrder[slot] == field) {
            return slot;
        }
    }
    return 0;
}

constexpr int fieldOffset(lcm::LegacyTable field)
{
    return FieldsOffset + slotOf(field) * FieldSize;
}

// Type codes of the TypeValue texts; any other text is OtherType.
enum TypeCode : int { OtherType = 0, EightDot = 1, WithCapitalPrefix = 2, WithoutCapitalPrefix = 3 };

inline int typeCode(const QString& typeValue)
{
    if (typeValue == QLatin1String("8 DOT")) {
        return EightDot;
    }
    if (typeValue == QLatin1String("WITH CAPITAL PREFIX")) {
        return WithCapitalPrefix;
    }
    if (typeValue == QLatin1String("WITHOUT CAPITAL PREFIX")) {
        return WithoutCapitalPrefix;
    }
    return OtherType;
}

constexpr int dotsOf(int typeCode)
{
    return typeCode == EightDot ? 8 : 6;
}

} // namespace LegacyTableFormat
