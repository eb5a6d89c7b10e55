#pragma once

#include "lcm/EnumDetail.h"

#include <QString>
#include <QtGlobal>

// The current legacy braille table: one process-wide image of a ".ebc" file (LegacyTableFormat
// gives its layout), with the words in host order. Every load zeroes the image first, so the
// fields a short file does not reach read as empty; a file that cannot be opened leaves the
// previous table in place. Values read from the image stay valid only until the next load. Used
// from the main thread only.
class LegacyTableBuffer {
public:
    // Logs and returns false when the file cannot be opened.
    static bool load(const QString& path);

    // A text field by its enumeration value; a value outside the enumeration gives `Header`.
    static QString field(lcm::LegacyTable field);
    static quint32 formatWord();
    // Word `word` (0..2) of record `record` (0..258); 0 outside those ranges.
    static quint16 recordWord(int record, int word);
    static quint8 rawByte(int index);

    // 8 when `TypeValue` is "8 DOT", else 6.
    static int dots();
    // 1 "8 DOT", 2 "WITH CAPITAL PREFIX", 3 "WITHOUT CAPITAL PREFIX", 0 anything else.
    static int typeCode();
};
