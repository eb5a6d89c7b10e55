#include "Introspection.h"

#include <QXmlStreamReader>

QString Introspection::Method::inSignature() const
{
    QString signature;
    for (const Argument& argument : in) {
        signature += argument.signature;
    }
    return signature;
}

bool Introspection::parse(const QString& xml, const QString& interfaceName)
{
    m_methods.clear();
    QXmlStreamReader reader(xml);
    bool inInterface = false;
    bool found = false;
    int method = -1; // index of the method being read
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto attributes = reader.attributes();
            if (reader.name() == QLatin1String("interface")) {
                inInterface = attributes.value("name") == interfaceName;
                found = found || inInterface;
            } else if (inInterface && reader.name() == QLatin1String("method")) {
                m_methods.append(Method { attributes.value("name").toString(), {}, {} });
                method = m_methods.size() - 1;
            } else if (method >= 0 && reader.name() == QLatin1String("arg")) {
                const QString signature = attributes.value("type").toString();
                if (attributes.value("direction") == QLatin1String("out")) {
                    m_methods[method].out.append(signature);
                } else {
                    m_methods[method].in.append(Argument { attributes.value("name").toString(), signature });
                }
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("method")) {
                method = -1;
            } else if (reader.name() == QLatin1String("interface")) {
                inInterface = false;
            }
        }
    }
    return found && !reader.hasError();
}

QList<Introspection::Method> Introspection::overloads(const QString& name) const
{
    QList<Method> result;
    for (const Method& method : m_methods) {
        if (method.name == name) {
            result.append(method);
        }
    }
    return result;
}

QStringList Introspection::names() const
{
    QStringList result;
    for (const Method& method : m_methods) {
        if (result.isEmpty() || result.last() != method.name) {
            result.append(method.name);
        }
    }
    result.removeDuplicates();
    return result;
}
