#pragma once

#include <QString>

namespace ls {

// Named spans of wall time for start-up diagnostics: start(name) marks the beginning,
// finish(name) logs the elapsed milliseconds at debug level (category "Timer") and returns them,
// or -1 when the span was never started. Safe to use from any thread.
class Timer {
public:
    static void start(const QString& name);
    static qint64 finish(const QString& name);
};

} // namespace ls
