#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QIODevice;

// The metadata header of one liblouis table file, parsed by liblouis's own rules: the header is
// the run of blank and comment lines before the first rule; "#+key: value" lines are queryable
// metadata (the value is one word of letters, digits, ".", "-" and "_"), "#-key: value" lines are
// descriptive (any text, white space collapsed); other comments and malformed lines are skipped.
// A key may repeat: lookups answer the first value, as liblouis does.
class LiblouisHeader {
public:
    static LiblouisHeader read(const QString& path, bool* ok = nullptr);
    static LiblouisHeader parse(QIODevice& device);

    bool isEmpty() const { return m_queryable.isEmpty() && m_descriptive.isEmpty(); }

    // First queryable value of the key; empty when absent. `region` falls back to `language`.
    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    QStringList values(const QString& key) const;
    // First descriptive value of the key ("index-name", "display-name"...); empty when absent.
    QString description(const QString& key) const;

    const QList<QPair<QString, QString>>& queryable() const { return m_queryable; }
    const QList<QPair<QString, QString>>& descriptive() const { return m_descriptive; }

private:
    void parseLine(const QString& line);

    QList<QPair<QString, QString>> m_queryable;
    QList<QPair<QString, QString>> m_descriptive;
};
