#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariantMap>

// The label templates of the label front ends: files in one directory
// ("/backup/embosser/labelTemplates"). A name from a request must be one plain file name that,
// once links are resolved, lies inside the directory. A save never replaces a file: when a name
// is taken it becomes "name(1)", "name(2)"... The store is bounded: at most maxFiles entries in
// the directory and maxBytes per file.
class LabelTemplates {
public:
    enum class Outcome { Done, BadName, TooLarge, Full, WriteFailed };

    static constexpr int maxFiles = 1000;
    static constexpr int maxBytes = 1024 * 1024;

    explicit LabelTemplates(const QString& directory);

    // The JSON object of the file `name`; an empty map when the file is missing, too large or not
    // a JSON object.
    Outcome read(const QString& name, QVariantMap& out) const;

    // Writes every (suffix, content) pair as "<stem><suffix>", all under the first stem of `base`,
    // "base(1)", "base(2)"... for which none of the files exists. Either all files are written or
    // none is. `stem` receives the stem used.
    Outcome save(const QString& base, const QList<QPair<QString, QByteArray>>& files, QString& stem) const;

private:
    QString freeStem(const QString& base, const QStringList& suffixes, int limit) const;
    int entryCount() const;

    QString m_directory;
};
