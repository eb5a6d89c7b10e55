// ls::PFile on a property file made of the input: read as a map and key by key, written back
// whole and one key at a time. Besides crashes it checks that what is written reads back
// unchanged: a map written with writeFromMap and a value written with write read back as given,
// and the keys a write does not name keep their values.
//
// Input: the file's bytes, then (after the last NUL) a key and a value for write(), separated by
// the first '='. Without a NUL the whole input is the file and write() sets a key of its own.
#include "FuzzEnvironment.h"
#include "ls/PFile.h"

#include <QVariantMap>

namespace {

QString describe(const QVariantMap& map)
{
    QStringList lines;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        lines.append(QStringLiteral("[%1]=[%2]").arg(it.key(), it.value().toString()));
    }
    return lines.join(QLatin1Char(' '));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Empty);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const ls::PFile file;
    static const QString path = FuzzEnvironment::scratchDir() + QStringLiteral("/slave.conf");
    const QByteArray input(reinterpret_cast<const char*>(bytes), int(size));
    const int split = input.lastIndexOf('\0');
    const QString assignment = split < 0 ? QStringLiteral("FUZZ_KEY=value") : QString::fromUtf8(input.mid(split + 1));
    const int equals = assignment.indexOf(QLatin1Char('='));
    const QString key = assignment.left(equals);
    const QString value = equals < 0 ? QString() : assignment.mid(equals + 1);
    FuzzEnvironment::writeFile(path, input.left(split));

    QVariantMap map;
    if (!file.readToMap(path, map)) {
        FuzzEnvironment::fail(QStringLiteral("an existing file did not read"));
    }
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        QString single;
        if (!file.read(path, it.key(), single) || single != it.value().toString()) {
            FuzzEnvironment::fail(QStringLiteral("read(%1) disagrees with readToMap").arg(it.key()));
        }
    }
    // The whole map back: the same values (a refused value leaves the file as it was).
    QVariantMap reread;
    if (file.writeFromMap(QString(), path, map) && (!file.readToMap(path, reread) || reread != map)) {
        FuzzEnvironment::fail(
            QStringLiteral("writeFromMap did not read back: wrote %1, read %2").arg(describe(map), describe(reread)));
    }
    // One key: that key has the value, every other key keeps its own.
    QVariantMap expected;
    file.readToMap(path, expected);
    expected.insert(key, value);
    QVariantMap after;
    if (file.write(path, key, value) && (!file.readToMap(path, after) || after != expected)) {
        FuzzEnvironment::fail(QStringLiteral("write(%1, %2) did not read back: expected %3, read %4")
                                  .arg(key, value, describe(expected), describe(after)));
    }
    return 0;
}
