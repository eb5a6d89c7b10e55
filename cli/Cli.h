#pragma once

#include <QStringList>

// The command line of cmctl: the global options, the options of every family, the help text
// (complete enough to make the manual page from), and the choice of the family that runs.
class Cli {
public:
    // arguments: the program's arguments, program name first. Answers the exit status.
    static int run(const QStringList& arguments);

    static QString helpText();
};
