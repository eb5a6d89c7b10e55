#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace ls {

// Writing side of a file service. Every write is atomic (AtomicFile): a failed write leaves the
// old file as it was. Failures return false and log.
class IWriter {
public:
    virtual ~IWriter() = default;

    // Replaces the content of the file with `data`. `directory` may be empty, in which case
    // `file` is the full path (what the service always passes); otherwise the file is
    // "<directory>/<file>".
    virtual bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const = 0;

    // Sets one key of the file, keeping the rest; a missing file is created.
    virtual bool write(const QString& file, const QString& key, const QVariant& value) const = 0;

    // Sets one field of one parameter record: `keyPath` is "<parameter>/<field>", split at its
    // last slash (field names never contain one). The record must exist and be an object.
    virtual bool writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const = 0;
};

} // namespace ls
