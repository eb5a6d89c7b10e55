#pragma once

#include <QString>

// Makes one piece of a shell command line a single literal word: the piece is wrapped in single
// quotes and every quote inside it becomes '\'' , so the shell expands nothing in it (no $(...),
// no ;, no globbing) and the script receives exactly that text as one argument.
class ShellQuote {
public:
    static QString quote(const QString& piece);

    // A NUL cannot travel through a command line (the line ends there), so such a piece is refused.
    static bool isQuotable(const QString& piece);
};
