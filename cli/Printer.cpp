#include "Printer.h"

#include <QJsonDocument>

#include <cstdio>

Printer::Printer(bool json)
    : m_json(json)
    , m_out(stdout)
    , m_err(stderr)
{
}

void Printer::table(const QStringList& header, const QList<QStringList>& rows)
{
    QVector<int> widths(header.size());
    for (int column = 0; column < header.size(); ++column) {
        widths[column] = header.at(column).size();
        for (const QStringList& row : rows) {
            widths[column] = qMax(widths[column], row.value(column).size());
        }
    }
    const auto print = [&](const QStringList& cells) {
        QString text;
        for (int column = 0; column < header.size(); ++column) {
            const bool last = column == header.size() - 1;
            text += last ? cells.value(column) : cells.value(column).leftJustified(widths[column] + 2);
        }
        m_out << text.trimmed() << '\n';
    };
    print(header);
    for (const QStringList& row : rows) {
        print(row);
    }
    m_out.flush();
}

void Printer::fields(const QList<QPair<QString, QString>>& fields)
{
    int width = 0;
    for (const auto& field : fields) {
        width = qMax(width, field.first.size());
    }
    for (const auto& field : fields) {
        m_out << (field.first + QLatin1Char(':')).leftJustified(width + 2) << field.second << '\n';
    }
    m_out.flush();
}

void Printer::line(const QString& text)
{
    m_out << text << '\n';
    m_out.flush();
}

void Printer::document(const QVariant& value, bool compact)
{
    const QJsonDocument document = QJsonDocument::fromVariant(value);
    m_out << QString::fromUtf8(document.toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented));
    if (compact) {
        m_out << '\n';
    }
    m_out.flush();
}

void Printer::error(const QString& message)
{
    m_err << "cmctl: " << message << '\n';
    m_err.flush();
}
