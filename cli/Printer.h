#pragma once

#include <QPair>
#include <QStringList>
#include <QTextStream>
#include <QVariantMap>

// Everything cmctl prints: aligned tables and "name: value" lines for people, one JSON document
// per answer with --json (one compact line per notification while watching), and the messages
// on stderr.
class Printer {
public:
    explicit Printer(bool json);

    bool json() const { return m_json; }

    void table(const QStringList& header, const QList<QStringList>& rows);
    void fields(const QList<QPair<QString, QString>>& fields);
    void line(const QString& text);
    // A map as an indented JSON document, or compact on one line.
    void document(const QVariant& value, bool compact = false);
    void error(const QString& message);

private:
    bool m_json;
    QTextStream m_out;
    QTextStream m_err;
};
