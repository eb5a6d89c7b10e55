#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The calls the programs of sim/bin recorded under the root (var/log/sim/calls.log: one line a
// call, tab-separated, backslash, tab and newline escaped), read back as argument vectors.
class SimCalls {
public:
    explicit SimCalls(const QString& rootPath);

    QList<QStringList> all() const;
    // The calls of one program, without the program name.
    QList<QStringList> of(const QString& program) const;
    void clear() const;

private:
    QString m_logPath;
};
