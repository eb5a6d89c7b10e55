#pragma once

#include "ls/Keys.h"

#include <QString>

// The layout parameter names the service itself reads or sets, and the names of the derived
// values it adds to layouts sent to clients (never stored).
namespace LayoutKeys {

// Stored parameters
inline const QString& paperSize = ls::paperSizeKey;
inline const QString region = QStringLiteral("Region");
inline const QString duplexing = QStringLiteral("Duplexing");
inline const QString linePerPage = QStringLiteral("Line per page");
inline const QString charactersPerLine = QStringLiteral("Characters per line");
inline const QString topMargin = QStringLiteral("Top margin");
inline const QString bindingMargin = QStringLiteral("Binding margin");
inline const QString pageNumber = QStringLiteral("Page number");
inline const QString foldingLine = QStringLiteral("Folding line");
inline const QString brailleLanguage = QStringLiteral("Braille language");
inline const QString liblouisTable = QStringLiteral("Liblouis table");
inline const QString brailleCellDots = QStringLiteral("Braille cell dots");
inline const QString brailleCellSize = QStringLiteral("Braille cell size");
inline const QString brailleLineSpacing = QStringLiteral("Braille line spacing");
inline const QString adjustmentToLinespacing = QStringLiteral("Adjustment to linespacing");
inline const QString maxPagesInVolume = QStringLiteral("Max pages in volume");
inline const QString rightOffset = QStringLiteral("Right offset");
inline const QString firstLineOffset = QStringLiteral("First line offset");
inline const QString bottomOffset = QStringLiteral("Bottom offset");
inline const QString bindingOffset = QStringLiteral("Binding offset");
inline const QString layoutName = QStringLiteral("Layout name");
inline const QString creatorOfLayout = QStringLiteral("Creator of layout");

// Derived values (the page geometry and the table display names)
inline const QString maximumPossibleLines = QStringLiteral("Maximum possible lines");
inline const QString totalLinesPerPage = QStringLiteral("Total lines per page");
inline const QString minLines = QStringLiteral("Min lines");
inline const QString maxLines = QStringLiteral("Max lines");
inline const QString totalCharactersPerLine = QStringLiteral("Total characters per line");
inline const QString minCharacters = QStringLiteral("Min characters");
inline const QString maxCharacters = QStringLiteral("Max characters");
inline const QString minTopMargin = QStringLiteral("Min top margin");
inline const QString maxTopMargin = QStringLiteral("Max top margin");
inline const QString minBindingMargin = QStringLiteral("Min binding margin");
inline const QString maxBindingMargin = QStringLiteral("Max binding margin");
inline const QString bottomMargin = QStringLiteral("Bottom margin");
inline const QString liblouisTableDisplayName = QStringLiteral("Liblouis table display name");
inline const QString legacyTableDisplayName = QStringLiteral("Legacy table display name");

// The member of the parameter list that is no parameter.
inline const QString metadata = QStringLiteral("Metadata");

} // namespace LayoutKeys
