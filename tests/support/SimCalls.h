#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The programs of sim/bin record every call in var/log/sim/calls.log under the root: one line
// per call, the program's name and its arguments separated by tabs, with backslash, tab and
// newline escaped. This reads them back as argument vectors.
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
