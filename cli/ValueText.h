#pragma once

#include <QString>
#include <QVariant>

// Values typed on a command line. A direct method's argument is converted to the D-Bus type its
// signature asks for, or refused; an argument of `call` is typed by one rule, written in --help:
// a whole number is an int, a decimal number a double, true or false a bool, anything else a
// text; a type prefix (i: d: b: s: j:) overrides the rule, and j: takes JSON (lists, maps).
class ValueText {
public:
    // The value of `text` for a D-Bus signature ("i", "d", "b", "s", "a{sv}"...); invalid when
    // it does not convert.
    static QVariant toSignature(const QString& text, const QString& signature);
    static QVariant typed(const QString& text);
    // A readable name of a signature for messages ("int", "double", "text"...).
    static QString typeName(const QString& signature);
    // A value as one line of text: numbers and texts as they are, containers as compact JSON.
    static QString display(const QVariant& value);
};
