#pragma once

#include "ls/Command.h"

#include <QLoggingCategory>
#include <QString>
#include <QVariantMap>

// The arguments of one request, read with the checks every operation of a command handler makes
// before it changes anything: a missing key is ValueNotFound, a value that is not of the kind the
// key takes is InvalidValue. Each refusal is logged under the operation's own name and leaves the
// result map to answer in failure(). Values come from other processes: wrong types are refused,
// never converted by guesswork (true is not 1, 7.5 is not 8, a list is not a text).
class CommandArguments {
public:
    // `operation` is the operation's Q_FUNC_INFO, for the log lines.
    CommandArguments(const ls::Command& command, const QLoggingCategory& category, const char* operation);

    // An int: an integer of any width, a whole finite double, or a decimal text, within int range.
    bool integer(const QString& key, int& out);
    // The same, within lowest..highest.
    bool integer(const QString& key, int& out, int lowest, int highest);
    // A list of at most maxCount such ints, each within lowest..highest; an empty list is one.
    bool integerList(const QString& key, QList<int>& out, int maxCount, int lowest, int highest);
    // A flag: true, false, 1 or 0; an optional one is false when absent.
    bool flag(const QString& key, bool& out, bool required = true);
    // A text; an optional one is empty when absent.
    bool text(const QString& key, QString& out, bool required = true);
    // A bool, and nothing else: neither 1 nor "true" is taken for true.
    bool boolean(const QString& key, bool& out);
    // A map with at least one member. `what` names the data in the log ("invalid <what>
    // received!"), `emptyMessage` replaces "no data found in <key>".
    bool map(
        const QString& key, QVariantMap& out, const QString& what = QString(), const QString& emptyMessage = QString());

    // Refuses a value the operation itself found unusable: InvalidValue; always false.
    bool refuseValue(const QString& message);

    // {Failure, the error of the last refusal}.
    QVariantMap failure() const { return m_failure; }

    static bool toInt(const QVariant& value, int& out);

private:
    bool present(const QString& key);
    bool refuse(const QString& errorId, const QString& message);

    const ls::Command& m_command;
    const QLoggingCategory& m_category;
    const char* m_operation;
    QVariantMap m_failure;
};
