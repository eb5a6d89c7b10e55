#pragma once

#include <QByteArray>
#include <QString>

// What a fuzz target sets up once, from LLVMFuzzerInitialize, before its first input: a Qt
// application object, the simulated tools of sim/bin first on PATH, no way to the machine's own
// D-Bus buses, log output dropped (CM_FUZZ_VERBOSE=1 keeps it), and, for the targets that read
// the machine's files, a private root exported as CONFIGURATION_MANAGER_ROOT.
//
// The root is CM_FUZZ_ROOT when scripts/fuzz gives one (a tree laid out by scripts/make-root);
// otherwise a temporary one is laid out here, so a target can also be run by hand. A root that is
// "/" or not laid out by make-root stops the target: nothing here may touch the machine's files.
class FuzzEnvironment {
public:
    enum class Root { None, Private };

    static void initialize(Root root);

    // The private root; empty with Root::None.
    static QString root();
    // A directory for the target's own scratch files, inside TMPDIR.
    static QString scratchDir();

    // Writes `content` to `path`, replacing it; false when that failed.
    static bool writeFile(const QString& path, const QByteArray& content);
    static QByteArray readFile(const QString& path);

    // Stops the run with a message: a broken invariant is a finding like a crash.
    [[noreturn]] static void fail(const QString& message);
};
