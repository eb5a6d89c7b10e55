#include "SimCalls.h"

#include <QFile>

namespace {
QStringList parseLine(const QString& line)
{
    QStringList fields { QString() };
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\t')) {
            fields << QString();
        } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            const QChar next = line.at(++i);
            fields.last() += next == QLatin1Char('t') ? QLatin1Char('\t')
                : next == QLatin1Char('n')            ? QLatin1Char('\n')
                                                      : next;
        } else {
            fields.last() += c;
        }
    }
    return fields;
}
} // namespace

SimCalls::SimCalls(const QString& rootPath)
    : m_logPath(rootPath + QStringLiteral("/var/log/sim/calls.log"))
{
}

QList<QStringList> SimCalls::all() const
{
    QList<QStringList> calls;
    QFile log(m_logPath);
    if (log.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            calls << parseLine(line);
        }
    }
    return calls;
}

QList<QStringList> SimCalls::of(const QString& program) const
{
    QList<QStringList> calls;
    for (const QStringList& call : all()) {
        if (call.value(0) == program) {
            calls << call.mid(1);
        }
    }
    return calls;
}

void SimCalls::clear() const
{
    QFile::remove(m_logPath);
}
