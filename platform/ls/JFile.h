#pragma once

#include "IReader.h"
#include "IWriter.h"

#include <QObject>

namespace ls {

// JSON files whose top level is an object, read as and written from a QVariantMap. Reads fail
// on a missing or unreadable file, a parse error (logged with its offset) or a top level that is
// not an object. Writes are indented JSON through AtomicFile; one-key writes read, change and
// rewrite the whole object, and refuse to replace a file that exists but cannot be parsed.
class JFile : public QObject, public IReader, public IWriter {
    Q_OBJECT
public:
    explicit JFile(QObject* parent = nullptr);

    using IReader::read;

    bool readToMap(const QString& file, QVariantMap& out) const override;
    bool read(const QString& file, const QString& key, QString& out) const override;
    bool read(const QString& file, const QString& key, QVariant& out) const override;

    bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const override;
    bool write(const QString& file, const QString& key, const QVariant& value) const override;
    bool writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const override;

    // One member of the file's object changed: the parameter record `parameter` gets `field`.
    bool writeField(const QString& file, const QString& parameter, const QString& field, const QVariant& value) const;

private:
    bool readForUpdate(const QString& file, QVariantMap& out) const;
    bool writeMap(const QString& path, const QVariantMap& data) const;
};

} // namespace ls
