#include "AdaptorWriter.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace {

bool passedByValue(const QString& type)
{
    return type == QLatin1String("bool") || type == QLatin1String("int") || type == QLatin1String("uint")
        || type == QLatin1String("double") || type == QLatin1String("qlonglong");
}

QString escapeXml(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

// Qt needs the C++ name of a type that is not a basic D-Bus type to unmarshal it.
bool needsTypeAnnotation(const QString& type)
{
    return type == QLatin1String("QVariantMap") || type == QLatin1String("lcm::PropList")
        || type.startsWith(QLatin1String("QList<QPair"));
}

} // namespace

AdaptorWriter::AdaptorWriter(
    const QString& interfaceName, const QVector<AdaptorMethod>& signalList, const QVector<AdaptorMethod>& methods)
    : m_interfaceName(interfaceName)
    , m_signals(signalList)
    , m_methods(methods)
{
}

QString AdaptorWriter::parameterList(const AdaptorMethod& method)
{
    QStringList parameters;
    for (const AdaptorArgument& argument : method.arguments) {
        parameters << (passedByValue(argument.type) ? argument.type : QStringLiteral("const %1&").arg(argument.type))
                + QLatin1Char(' ') + argument.name;
    }
    return parameters.join(QLatin1String(", "));
}

bool AdaptorWriter::dbusSignature(const QString& cppType, QString& signature)
{
    static const QHash<QString, QString> signatures {
        { QStringLiteral("bool"), QStringLiteral("b") },
        { QStringLiteral("int"), QStringLiteral("i") },
        { QStringLiteral("uint"), QStringLiteral("u") },
        { QStringLiteral("double"), QStringLiteral("d") },
        { QStringLiteral("qlonglong"), QStringLiteral("x") },
        { QStringLiteral("QString"), QStringLiteral("s") },
        { QStringLiteral("QByteArray"), QStringLiteral("ay") },
        { QStringLiteral("QStringList"), QStringLiteral("as") },
        { QStringLiteral("QVariantList"), QStringLiteral("av") },
        { QStringLiteral("QVariantMap"), QStringLiteral("a{sv}") },
        { QStringLiteral("QDBusVariant"), QStringLiteral("v") },
        { QStringLiteral("lcm::PropList"), QStringLiteral("aa{sv}") },
        { QStringLiteral("QList<QPair<QString,QVariantMap> >"), QStringLiteral("a(sa{sv})") },
    };
    const auto found = signatures.constFind(cppType);
    if (found == signatures.constEnd()) {
        return false;
    }
    signature = found.value();
    return true;
}

bool AdaptorWriter::checkTypes() const
{
    QString signature;
    for (const QVector<AdaptorMethod>* list : { &m_signals, &m_methods }) {
        for (const AdaptorMethod& method : *list) {
            if (method.returnType != QLatin1String("void") && !dbusSignature(method.returnType, signature)) {
                m_error = QStringLiteral("table line %1: no D-Bus type for '%2'")
                              .arg(method.tableLine)
                              .arg(method.returnType);
                return false;
            }
            for (const AdaptorArgument& argument : method.arguments) {
                if (!dbusSignature(argument.type, signature)) {
                    m_error = QStringLiteral("table line %1: no D-Bus type for '%2'")
                                  .arg(method.tableLine)
                                  .arg(argument.type);
                    return false;
                }
            }
        }
    }
    return true;
}

bool AdaptorWriter::writeHeader(const QString& templatePath, const QString& outputPath) const
{
    if (!checkTypes()) {
        return false;
    }
    QFile templateFile(templatePath);
    if (!templateFile.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open %1").arg(templatePath);
        return false;
    }
    QString signalLines;
    for (const AdaptorMethod& method : m_signals) {
        signalLines += QStringLiteral("    void %1(%2);\n").arg(method.name, parameterList(method));
    }
    QString slotLines;
    for (const AdaptorMethod& method : m_methods) {
        slotLines += QStringLiteral("    %1 %2(%3);\n").arg(method.returnType, method.name, parameterList(method));
    }
    QString content = QString::fromUtf8(templateFile.readAll());
    content.replace(QLatin1String("@INTERFACE@"), m_interfaceName);
    content.replace(QLatin1String("@GENERATED_SIGNALS@"), signalLines);
    content.replace(QLatin1String("@GENERATED_SLOTS@"), slotLines);
    return write(outputPath, content.toUtf8());
}

bool AdaptorWriter::writeSource(const QString& headerName, const QStringList& includes, const QString& outputPath) const
{
    QString content = QStringLiteral("// Generated from the adaptor's member table; do not edit.\n#include \"%1\"\n\n")
                          .arg(headerName);
    for (const QString& include : includes) {
        content += QStringLiteral("#include %1\n").arg(include);
    }
    content += QLatin1Char('\n');
    for (const AdaptorMethod& method : m_methods) {
        const bool returns = method.returnType != QLatin1String("void");
        const QString guard = method.early
            ? QString()
            : QStringLiteral("    if (unavailable(Q_FUNC_INFO)) {\n        return%1;\n    }\n")
                  .arg(returns ? QStringLiteral(" {}") : QString());
        // Maps leave through the adaptor's one exit, which gives defined values their types.
        const bool map = method.returnType == QLatin1String("QVariantMap")
            || method.returnType.startsWith(QLatin1String("QList<QPair<QString,QVariantMap>"));
        const QString body = map ? QStringLiteral("outgoing(%1)").arg(method.body) : method.body;
        content += QStringLiteral("%1 ConfigurationManagerAdaptor::%2(%3)\n{\n%4    %5%6;\n}\n\n")
                       .arg(method.returnType, method.name, parameterList(method), guard,
                           returns ? QStringLiteral("return ") : QString(), body);
    }
    return write(outputPath, content.toUtf8());
}

bool AdaptorWriter::writeIntrospection(const QString& outputPath) const
{
    if (!checkTypes()) {
        return false;
    }
    QString xml = QStringLiteral("<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n"
                                 "<!-- Generated from the adaptor's member table; published for client authors. -->\n"
                                 "<node>\n  <interface name=\"%1\">\n")
                      .arg(m_interfaceName);
    const auto argumentLine = [](const QString& name, const QString& type, const QString& direction) {
        QString signature;
        dbusSignature(type, signature);
        QString line = QStringLiteral("      <arg");
        if (!name.isEmpty()) {
            line += QStringLiteral(" name=\"%1\"").arg(name);
        }
        line += QStringLiteral(" type=\"%1\"").arg(escapeXml(signature));
        if (!direction.isEmpty()) {
            line += QStringLiteral(" direction=\"%1\"").arg(direction);
        }
        return line + QStringLiteral("/>\n");
    };
    const auto annotation = [](const QString& slot, const QString& type) {
        return QStringLiteral("      <annotation name=\"org.qtproject.QtDBus.QtTypeName.%1\" value=\"%2\"/>\n")
            .arg(slot, escapeXml(type));
    };
    for (const AdaptorMethod& method : m_signals) {
        xml += QStringLiteral("    <signal name=\"%1\">\n").arg(method.name);
        for (int i = 0; i < method.arguments.size(); ++i) {
            const AdaptorArgument& argument = method.arguments.at(i);
            xml += argumentLine(argument.name, argument.type, QString());
            if (needsTypeAnnotation(argument.type)) {
                xml += annotation(QStringLiteral("Out%1").arg(i), argument.type);
            }
        }
        xml += QStringLiteral("    </signal>\n");
    }
    for (const AdaptorMethod& method : m_methods) {
        xml += QStringLiteral("    <method name=\"%1\">\n").arg(method.name);
        if (method.returnType != QLatin1String("void")) {
            xml += argumentLine(QString(), method.returnType, QStringLiteral("out"));
            if (needsTypeAnnotation(method.returnType)) {
                xml += annotation(QStringLiteral("Out0"), method.returnType);
            }
        }
        for (int i = 0; i < method.arguments.size(); ++i) {
            const AdaptorArgument& argument = method.arguments.at(i);
            xml += argumentLine(argument.name, argument.type, QStringLiteral("in"));
            if (needsTypeAnnotation(argument.type)) {
                xml += annotation(QStringLiteral("In%1").arg(i), argument.type);
            }
        }
        xml += QStringLiteral("    </method>\n");
    }
    xml += QStringLiteral("  </interface>\n</node>\n");
    return write(outputPath, xml.toUtf8());
}

bool AdaptorWriter::write(const QString& path, const QByteArray& content) const
{
    // Unchanged output keeps its time stamp, so a table edit rebuilds only what it changes.
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) {
        return true;
    }
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}
