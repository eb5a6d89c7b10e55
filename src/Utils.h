#pragma once

#include <QString>
#include <QStringList>

// File helpers shared by every subsystem (copy with the overwrite rule, whole and partial text
// reads, folder listing, file creation) and the paper-length conversions between millimetres,
// inch codes and paper-feed motor steps.
class Utils {
public:
    // Copies `source` over `destination` only when the destination is absent or `overwrite` is
    // set. The destination is replaced in one step, so it never ends up missing or torn.
    static bool copyFile(const QString& source, const QString& destination, bool overwrite);

    // Motor steps of a length in inch code: code / 10 whole inches plus the fraction selected by
    // code % 10 (1: 1/4, 2: 1/3, 3: 1/2, 4: 2/3, 5: 3/4). 0 when the step length is unknown.
    static int convertInchSteps(int code);

    // The inch code of a length in millimetres: whole inches times 10 plus the fraction digit
    // (1..5 as above) the remainder falls in; a remainder above 0.85 in counts as the next inch.
    static int mmToInchCode(double millimetres);

    // The whole file as text.
    static bool readFile(const QString& path, QString& out);
    // At most `lineCount` lines of the file: its last ones when `lastLines` is set, else its
    // first ones. A `lineCount` of 0 or less reads the whole file.
    static bool readFile(const QString& path, QString& out, int lineCount, bool lastLines);

    // The names of the regular files directly in `folder` matching `nameFilters` (all when
    // empty), sorted by name; empty when the folder does not exist.
    static QStringList listFiles(const QString& folder, const QStringList& nameFilters = QStringList());

    // Creates `path` (empty) together with any missing directory above it; an existing file is
    // left as it is. True when the file exists afterwards.
    static bool createFile(const QString& path);

    // The data key of a display name: its words (split at blanks, or at underscores when it has
    // no blank) joined in camel case, "Serial No" -> "serialNo", "min_width" -> "minWidth",
    // "PF Step dist" -> "pfStepDist".
    static QString toKey(const QString& name);
};
