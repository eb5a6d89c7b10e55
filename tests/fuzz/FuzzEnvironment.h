#pragma once

#include <QByteArray>
#include <QString>

// What a fuzz target sets up once, from LLVMFuzzerInitialize: a Qt application object, the
// simulated tools of sim/bin first on PATH, no way to the machine's D-Bus buses, log output
// dropped (CM_FUZZ_VERBOSE=1 keeps it) and CONFIGURATION_MANAGER_ROOT: with Root::Shipped the tree
// CM_FUZZ_ROOT names (scripts/fuzz lays one out with scripts/make-root; without it one is laid
// out here), otherwise an empty scratch directory. A root that make-root did not lay out stops
// the target: nothing here may touch the machine's files.
class FuzzEnvironment {
public:
    enum class Root { Empty, Shipped };

    static void initialize(Root root);
    // A directory for the target's own files, inside TMPDIR.
    static QString scratchDir();

    // Replaces the file's content; failing to is a finding.
    static void writeFile(const QString& path, const QByteArray& content);

    // Stops the run: a broken invariant is a finding like a crash.
    [[noreturn]] static void fail(const QString& message);
};
