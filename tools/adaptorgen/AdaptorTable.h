#pragma once

#include "AdaptorMethod.h"

#include <QString>
#include <QVector>

// Reads the adaptor's member table and expands each row into its D-Bus overloads, longest first,
// so that a tool that types its arguments from the first method of a name reaches every overload
// with a prefix of the same arguments.
//
// Rows are "|"-separated; "#" starts a comment line:
//   catalogSave | Member | Type[/GetterType] | delegate [@Accessor(fixedKey)]
//   catalogOnly | Member | Type[/GetterType] | delegate [@Accessor(fixedKey)]
//   keyed       | Member | Type               | delegate
//   plain       | ReturnType name(Type arg, ...) | body expression
//   signal      | void name(Type arg, ...)
//   include     | "Header.h"  (for the generated bodies)
// A delegate is an expression on the adaptor (e.g. "manager()->systemSettings()->speech()").
class AdaptorTable {
public:
    bool read(const QString& path);
    QString error() const { return m_error; }
    const QVector<AdaptorMethod>& methods() const { return m_methods; }
    const QStringList& includes() const { return m_includes; }

private:
    bool addRow(const QStringList& columns, int line);
    bool addPlain(const QStringList& columns, int line);
    void addCatalogFamily(const QStringList& columns, int line, bool withSave);
    void addKeyed(const QStringList& columns, int line);
    void add(int line, const QString& returnType, const QString& name, const QVector<AdaptorArgument>& arguments,
        const QString& body);

    QVector<AdaptorMethod> m_methods;
    QStringList m_includes;
    QString m_error;
};
