#pragma once

#include "lcm/EnumDetail.h"

#include <QObject>
#include <QVariant>
#include <QVariantMap>

class PropValueList;

namespace ls {
class IReader;
}

// The physical distances of the braille cell sizes ("brailleDimension.json", keyed by the
// descriptions of the braille cell size value list; each record's "index" is its braille
// dimension type). Every distance getter answers -1.0 with a log line when the data is missing;
// callers treat a negative distance as unusable.
class BrlDimension : public QObject {
    Q_OBJECT

public:
    BrlDimension(const ls::IReader& reader, const PropValueList& valueList, QObject* parent = nullptr);

    // Reads the file, restoring it from the backup copy when it cannot be read.
    bool load(const ls::IReader& reader);

    // The field `key` of the named size; invalid when either is missing.
    QVariant getValue(const QString& size, const QString& key) const;
    double getDouble(const QString& size, const QString& key) const;
    // The same for the record whose "index" is `type`.
    double getDouble(int type, const QString& key) const;

    double getCellToCell(int type) const;
    double getCellToCell(const QString& size) const;
    double getHorizontalDotToDot(const QString& size) const;
    double getVerticalDotToDot(const QString& size) const;
    // The back-side row offset of interline printing: 8-dot cells when `dots` is "8 dots",
    // otherwise 6-dot cells.
    double getInterlineBackRowOffset(const QString& dots, const QString& size) const;
    bool getIsInterline(const QString& size) const;

    // The line pitch of a duplex mode (lcm::Duplex), cell dot count (6 or 8), line spacing
    // (lcm::LineSpacing) and dimension type, plus the adjustment. Only the text cell (type 1)
    // is adjustable; its adjustment is clamped to [minimum, maximum] / 10^precision.
    double getLineToLine(int precision, int duplexMode, int cellDots, int lineSpacing, int type, double adjustment,
        double minimum, double maximum) const;
    // The same from the texts a layout stores: cell size, duplexing, cell dots and line spacing
    // are looked up in their value lists and their positions converted through the enumerations.
    double getLineToLine(double adjustment, int precision, double minimum, double maximum, const QString& cellSize,
        const QString& duplexing, const QString& cellDots, const QString& lineSpacing) const;

    QVariantMap getDimensions() const { return m_dimensions; }

private:
    // The enumerator that the entry of `text` in `list` stands for; -1 when the text is not listed.
    int enumeratorOf(lcm::RowValueList list, const QString& text, const char* enumeration) const;

    const PropValueList& m_valueList;
    QVariantMap m_dimensions;
};
