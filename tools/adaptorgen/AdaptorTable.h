#pragma once

#include "AdaptorMethod.h"

#include <QString>
#include <QVector>

// Reads the adaptor's member table and expands each row into its D-Bus overloads, longest first,
// so that a tool that types its arguments from the first method of a name reaches every overload
// with a prefix of the same arguments.
//
// Rows are "|"-separated; "#" starts a comment line:
//   interface   | the D-Bus interface name (once)
//   include     | "Header.h"  (for the generated bodies)
//   signal      | void name(Type arg, ...)
//   plain       | ReturnType name(Type arg, ...) | body expression [| early]
//   parameter   | Member | Type | topic | name      catalog and save, by parameter name
//   property    | Member | Type[/GetterType] | topic | name      catalog only, by parameter name
//   catalogSave | Member | Type | delegate           catalog and save, through delegate->setX/getX
//   catalogOnly | Member | Type | delegate           catalog only, through delegate->setX/getX
//   keyed       | Member | Type | delegate           key, catalog and save, through delegate->setX/getX
// A delegate or topic is an expression on the adaptor (e.g. "manager()->systemSettings()->speech()");
// a topic offers accessor(), the CatalogAccessor of its catalog. A name is a quoted parameter name or
// an expression giving one (e.g. ls::IntValueParamId::AlignLow). "early" marks a method that is
// answered before the service has built its objects.
class AdaptorTable {
public:
    bool read(const QString& path);
    QString error() const { return m_error; }
    QString interfaceName() const { return m_interfaceName; }
    const QVector<AdaptorMethod>& methods() const { return m_methods; }
    const QVector<AdaptorMethod>& signalList() const { return m_signals; }
    const QStringList& includes() const { return m_includes; }

private:
    bool addRow(const QStringList& columns, int line);
    bool parseSignature(const QString& text, AdaptorMethod& method);
    bool addParameterFamily(const QStringList& columns, int line, bool withSave);
    // catalogSave (withSave) and catalogOnly rows.
    void addForwarded(const QStringList& columns, int line, bool withSave);
    void addKeyed(const QStringList& columns, int line);
    void add(int line, const QString& returnType, const QString& name, const QVector<AdaptorArgument>& arguments,
        const QString& body);

    QString m_interfaceName;
    QVector<AdaptorMethod> m_methods;
    QVector<AdaptorMethod> m_signals;
    QStringList m_includes;
    QString m_error;
};
