#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The methods of the service's interface as its introspection data declares them: every
// overload of a name with its in-arguments (name and D-Bus signature) and its out-signature.
class Introspection {
public:
    struct Argument {
        QString name;
        QString signature;
    };
    struct Method {
        QString name;
        QList<Argument> in;
        QStringList out;

        QString inSignature() const;
    };

    // Reads the interface `interfaceName` out of an introspection document; false if absent.
    bool parse(const QString& xml, const QString& interfaceName);

    bool isEmpty() const { return m_methods.isEmpty(); }
    // Every overload of `name` in declaration order (longest first, as the service declares them).
    QList<Method> overloads(const QString& name) const;
    QStringList names() const;

private:
    QList<Method> m_methods;
};
