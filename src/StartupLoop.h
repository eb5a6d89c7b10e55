#pragma once

#include <QtGlobal>

// The program's start-up loop: builds the application, the manager, its D-Bus adaptor and the
// console, runs the event loop, and builds everything anew in the same process whenever the loop
// ends with a status other than 1 (a restart request or the reset escape sequence).
class StartupLoop {
public:
    static int run(int argc, char** argv);

    // Longest log message the service writes; the rest of a longer one (a huge argument of a
    // request) is cut and counted. Control characters of messages above debug level are replaced.
    static constexpr int maxLogMessageLength = 2048;

private:
    static int runPass(int argc, char** argv);
    static void boundedMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
};
