#include "AdaptorTable.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

namespace {

QString normalisedType(QString type)
{
    type = type.trimmed();
    if (type.startsWith(QLatin1String("const "))) {
        type = type.mid(6);
    }
    if (type.endsWith(QLatin1Char('&'))) {
        type.chop(1);
    }
    return type.trimmed();
}

// Splits at top-level commas, keeping template argument lists together.
QStringList splitArguments(const QString& text)
{
    QStringList parts;
    int depth = 0;
    QString current;
    for (const QChar c : text) {
        if (c == QLatin1Char('<') || c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char('>') || c == QLatin1Char(')')) {
            --depth;
        }
        if (c == QLatin1Char(',') && depth == 0) {
            parts << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty()) {
        parts << current.trimmed();
    }
    return parts;
}

// The CatalogAccessor getter that converts a stored value to the getter's type.
QString accessorGetter(const QString& type)
{
    static const QHash<QString, QString> getters {
        { QStringLiteral("int"), QStringLiteral("getInt") },
        { QStringLiteral("double"), QStringLiteral("getDouble") },
        { QStringLiteral("QString"), QStringLiteral("getString") },
    };
    return getters.value(type);
}

const AdaptorArgument catalogArgument { QStringLiteral("QString"), QStringLiteral("catalog") };
const AdaptorArgument saveArgument { QStringLiteral("bool"), QStringLiteral("save") };

} // namespace

bool AdaptorTable::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_error = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    QTextStream in(&file);
    int line = 0;
    while (!in.atEnd()) {
        const QString text = in.readLine().trimmed();
        ++line;
        if (text.isEmpty() || text.startsWith(QLatin1Char('#'))) {
            continue;
        }
        QStringList columns = text.split(QLatin1Char('|'));
        for (QString& column : columns) {
            column = column.trimmed();
        }
        if (!addRow(columns, line)) {
            m_error = QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(m_error);
            return false;
        }
    }
    if (m_interfaceName.isEmpty()) {
        m_error = QStringLiteral("%1: no interface row").arg(path);
        return false;
    }
    return true;
}

bool AdaptorTable::addRow(const QStringList& columns, int line)
{
    static const QHash<QString, int> columnCounts {
        { QStringLiteral("interface"), 2 },
        { QStringLiteral("include"), 2 },
        { QStringLiteral("signal"), 2 },
        { QStringLiteral("plain"), 3 },
        { QStringLiteral("parameter"), 5 },
        { QStringLiteral("property"), 5 },
        { QStringLiteral("catalogSave"), 4 },
        { QStringLiteral("catalogOnly"), 4 },
        { QStringLiteral("keyed"), 4 },
    };
    const QString kind = columns.value(0);
    const auto expected = columnCounts.constFind(kind);
    if (expected == columnCounts.constEnd()) {
        m_error = QStringLiteral("unknown row kind '%1'").arg(kind);
        return false;
    }
    const bool early = kind == QLatin1String("plain") && columns.size() == 4 && columns.at(3) == QLatin1String("early");
    if (columns.size() != expected.value() && !early) {
        m_error = QStringLiteral("expected %1 columns for '%2'").arg(expected.value()).arg(kind);
        return false;
    }
    if (kind == QLatin1String("interface")) {
        m_interfaceName = columns.at(1);
    } else if (kind == QLatin1String("include")) {
        m_includes << columns.at(1);
    } else if (kind == QLatin1String("signal") || kind == QLatin1String("plain")) {
        AdaptorMethod method;
        method.tableLine = line;
        method.isSignal = kind == QLatin1String("signal");
        method.early = early;
        if (!parseSignature(columns.at(1), method)) {
            return false;
        }
        if (method.isSignal) {
            if (method.returnType != QLatin1String("void")) {
                m_error = QStringLiteral("a signal returns void");
                return false;
            }
            m_signals.append(method);
        } else {
            method.body = columns.at(2);
            m_methods.append(method);
        }
    } else if (kind == QLatin1String("parameter") || kind == QLatin1String("property")) {
        return addParameterFamily(columns, line, kind == QLatin1String("parameter"));
    } else if (kind == QLatin1String("catalogSave") || kind == QLatin1String("catalogOnly")) {
        addForwarded(columns, line, kind == QLatin1String("catalogSave"));
    } else {
        addKeyed(columns, line);
    }
    return true;
}

bool AdaptorTable::parseSignature(const QString& text, AdaptorMethod& method)
{
    static const QRegularExpression signature(QStringLiteral("^(.+?)\\s+(\\w+)\\s*\\((.*)\\)$"));
    const auto match = signature.match(text);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("cannot parse signature '%1'").arg(text);
        return false;
    }
    for (const QString& argument : splitArguments(match.captured(3))) {
        const int blank = argument.lastIndexOf(QLatin1Char(' '));
        if (blank < 0) {
            m_error = QStringLiteral("argument '%1' has no name").arg(argument);
            return false;
        }
        method.arguments.append({ normalisedType(argument.left(blank)), argument.mid(blank + 1).trimmed() });
    }
    method.returnType = normalisedType(match.captured(1));
    method.name = match.captured(2);
    return true;
}

bool AdaptorTable::addParameterFamily(const QStringList& columns, int line, bool withSave)
{
    const QString member = columns.at(1);
    const QStringList types = columns.at(2).split(QLatin1Char('/'));
    const QString setType = types.first().trimmed();
    const QString getType = types.last().trimmed();
    const QString getter = accessorGetter(getType);
    if (getter.isEmpty()) {
        m_error = QStringLiteral("no catalog getter for '%1'; write the member by hand").arg(getType);
        return false;
    }
    QString name = columns.at(4);
    if (name.startsWith(QLatin1Char('"'))) {
        name = QStringLiteral("QStringLiteral(%1)").arg(name);
    }
    const QString accessor = columns.at(3) + QStringLiteral("->accessor().");
    const QString set = QStringLiteral("%1setValue(%2, value, ").arg(accessor, name);
    const QString get = QStringLiteral("%1%2(%3, ").arg(accessor, getter, name);
    const AdaptorArgument value { setType, QStringLiteral("value") };
    const QString setName = QStringLiteral("set") + member;
    const QString getName = QStringLiteral("get") + member;
    const QString void_ = QStringLiteral("void");

    if (withSave) {
        add(line, void_, setName, { value, catalogArgument, saveArgument }, set + "catalog, save, Q_FUNC_INFO)");
    }
    add(line, void_, setName, { value, catalogArgument }, set + "catalog, false, Q_FUNC_INFO)");
    add(line, void_, setName, { value }, set + "defaultCatalog(), false, Q_FUNC_INFO)");
    add(line, getType, getName, { catalogArgument }, get + "catalog, Q_FUNC_INFO)");
    add(line, getType, getName, {}, get + "defaultCatalog(), Q_FUNC_INFO)");
    return true;
}

void AdaptorTable::addForwarded(const QStringList& columns, int line, bool withSave)
{
    const QString member = columns.at(1);
    const QString type = columns.at(2);
    const QString set = QStringLiteral("%1->set%2(value, ").arg(columns.at(3), member);
    const QString get = QStringLiteral("%1->get%2(").arg(columns.at(3), member);
    const AdaptorArgument value { type, QStringLiteral("value") };
    const QString setName = QStringLiteral("set") + member;
    const QString getName = QStringLiteral("get") + member;
    const QString void_ = QStringLiteral("void");

    if (withSave) {
        add(line, void_, setName, { value, catalogArgument, saveArgument }, set + "catalog, save)");
        add(line, void_, setName, { value, catalogArgument }, set + "catalog, false)");
        add(line, void_, setName, { value }, set + "defaultCatalog(), false)");
    } else {
        add(line, void_, setName, { value, catalogArgument }, set + "catalog)");
        add(line, void_, setName, { value }, set + "defaultCatalog())");
    }
    add(line, type, getName, { catalogArgument }, get + "catalog)");
    add(line, type, getName, {}, get + "defaultCatalog())");
}

void AdaptorTable::addKeyed(const QStringList& columns, int line)
{
    const QString member = columns.at(1);
    const QString type = columns.at(2);
    const QString set = QStringLiteral("%1->set%2(key, value, ").arg(columns.at(3), member);
    const QString get = QStringLiteral("%1->get%2(key, ").arg(columns.at(3), member);
    const AdaptorArgument key { QStringLiteral("QString"), QStringLiteral("key") };
    const AdaptorArgument value { type, QStringLiteral("value") };
    const QString setName = QStringLiteral("set") + member;
    const QString getName = QStringLiteral("get") + member;
    const QString bool_ = QStringLiteral("bool");

    add(line, bool_, setName, { key, value, catalogArgument, saveArgument }, set + "catalog, save)");
    add(line, bool_, setName, { key, value, catalogArgument }, set + "catalog, false)");
    add(line, bool_, setName, { key, value }, set + "defaultCatalog(), false)");
    add(line, type, getName, { key, catalogArgument }, get + "catalog)");
    add(line, type, getName, { key }, get + "defaultCatalog())");
}

void AdaptorTable::add(int line, const QString& returnType, const QString& name,
    const QVector<AdaptorArgument>& arguments, const QString& body)
{
    AdaptorMethod method;
    method.returnType = returnType;
    method.name = name;
    method.arguments = arguments;
    method.body = body;
    method.tableLine = line;
    m_methods.append(method);
}
