#pragma once

#include <QByteArray>
#include <QString>

namespace libcorvane {

// The one writer of every file the service owns. The content goes to a temporary file in the
// target's directory, is flushed to disk and renamed over the target, so a crash or power cut
// leaves either the old content or the new, never a torn file. An existing file keeps its
// permissions; a missing parent directory is created; empty content is refused (the old file
// stays), because no file of the service is legitimately empty.
class AtomicFile {
public:
    static bool write(const QString& path, const QByteArray& content);

    // Removes what a write cut off by a crash can leave in `directory`: the temporary
    // "<file>.XXXXXX" (six letters or digits) of a file that exists there. Returns how many.
    static int removeLeftovers(const QString& directory);
};

} // namespace libcorvane
