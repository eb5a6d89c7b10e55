#pragma once

#include "IReader.h"
#include "IWriter.h"

#include <QObject>
#include <QStringList>

namespace ls {

// Property files of KEY=value lines: shell-style settings ("/etc/slave.conf", the previous
// firmware's machine files) and the web server's "key = value" configuration.
//
// Syntax: blank lines and lines starting with '#' are comments; an assignment is a key, '=' and
// a value, with optional blanks around '=' and an optional "export " before the key. Lines with
// another operator ("==", "=~", "=>", "+=", ":=", "!=") or without '=' are not assignments. A
// '#' preceded by a blank and outside quotes starts a trailing comment. The value is the text
// after '=' up to that comment, without surrounding blanks, and is kept VERBATIM: quotes are
// part of it (`KEY="a b"` reads as "a b" in quotes), so what a caller writes reads back
// unchanged. When a key is assigned more than once the last assignment counts.
//
// Writes go through AtomicFile and change only the value of the key's (last) line, keeping its
// spacing, comments and every other line; an absent key is appended as KEY=value. A value that
// would not read back unchanged (line breaks, NUL, a trailing " #..." outside quotes, blanks
// at its ends) is refused.
class PFile : public QObject, public IReader, public IWriter {
    Q_OBJECT
public:
    explicit PFile(QObject* parent = nullptr);

    using IReader::read;

    bool readToMap(const QString& file, QVariantMap& out) const override;
    bool read(const QString& file, const QString& key, QString& out) const override;
    bool read(const QString& file, const QString& key, QVariant& out) const override;

    // Sets every key of `data` as write() does and drops the assignments of keys not in `data`;
    // comments and other lines stay.
    bool writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const override;
    bool write(const QString& file, const QString& key, const QVariant& value) const override;
    // Property files have no nested records: always false.
    bool writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const override;

private:
    struct Content {
        QStringList lines; // without line ends
        QList<bool> carriageReturns; // per line: ended in "\r\n"
        bool finalNewline = true;
    };

    bool load(const QString& file, Content& content, bool missingIsEmpty) const;
    bool save(const QString& file, const Content& content) const;
    bool setValue(Content& content, const QString& key, const QString& value) const;
};

} // namespace ls
