#pragma once

#include <QString>

namespace libcorvane {

// The directory every well-known location of the embosser lives under: "/" on the embosser, or
// the value of CONFIGURATION_MANAGER_ROOT in development, the demo and the tests. This is the only
// place that reads that variable.
class FileSystemRoot {
public:
    // The root as an absolute, clean path without a trailing slash ("/" stays "/").
    static QString path();

    // `absolutePath` placed under the root. The path's own text is kept as it is (doubled or
    // trailing slashes included), so with the root "/" the result equals the argument.
    static QString join(const QString& absolutePath);
};

} // namespace libcorvane
