#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace ls {

// Reading side of a file service (JSON files: JFile; KEY=value files: PFile). Every read
// reports failure by returning false and logging; the output is left empty or unchanged.
class IReader {
public:
    virtual ~IReader() = default;

    // `out` becomes the file's content as a map (its top-level object, or all its keys).
    virtual bool readToMap(const QString& file, QVariantMap& out) const = 0;

    // One key of the file as text.
    virtual bool read(const QString& file, const QString& key, QString& out) const = 0;

    // One key of the file as it is stored.
    virtual bool read(const QString& file, const QString& key, QVariant& out) const = 0;

    // Shorthand of readToMap.
    bool read(const QString& file, QVariantMap& out) const { return readToMap(file, out); }
};

} // namespace ls
