#include "AdaptorTable.h"

#include <QFile>
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
    return true;
}

bool AdaptorTable::addRow(const QStringList& columns, int line)
{
    const QString pattern = columns.value(0);
    if (pattern == QLatin1String("plain") && columns.size() == 3) {
        return addPlain(columns, line);
    }
    if (pattern == QLatin1String("include") && columns.size() == 2) {
        m_includes << columns.at(1);
        return true;
    }
    if (pattern == QLatin1String("signal") && columns.size() == 2) {
        return addPlain(columns + QStringList { QString() }, line);
    }
    if (columns.size() != 4) {
        m_error = QStringLiteral("expected 4 columns for pattern '%1'").arg(pattern);
        return false;
    }
    if (pattern == QLatin1String("catalogSave")) {
        addCatalogFamily(columns, line, true);
    } else if (pattern == QLatin1String("catalogOnly")) {
        addCatalogFamily(columns, line, false);
    } else if (pattern == QLatin1String("keyed")) {
        addKeyed(columns, line);
    } else {
        m_error = QStringLiteral("unknown pattern '%1'").arg(pattern);
        return false;
    }
    return true;
}

bool AdaptorTable::addPlain(const QStringList& columns, int line)
{
    static const QRegularExpression signature(QStringLiteral("^(.+?)\\s+(\\w+)\\s*\\((.*)\\)$"));
    const auto match = signature.match(columns.at(1));
    if (!match.hasMatch()) {
        m_error = QStringLiteral("cannot parse signature '%1'").arg(columns.at(1));
        return false;
    }
    QVector<AdaptorArgument> arguments;
    for (const QString& argument : splitArguments(match.captured(3))) {
        const int blank = argument.lastIndexOf(QLatin1Char(' '));
        if (blank < 0) {
            m_error = QStringLiteral("argument '%1' has no name").arg(argument);
            return false;
        }
        arguments.append({ normalisedType(argument.left(blank)), argument.mid(blank + 1).trimmed() });
    }
    add(line, normalisedType(match.captured(1)), match.captured(2), arguments, columns.at(2));
    return true;
}

void AdaptorTable::addCatalogFamily(const QStringList& columns, int line, bool withSave)
{
    const QString member = columns.at(1);
    const QStringList types = columns.at(2).split(QLatin1Char('/'));
    const QString setType = types.first().trimmed();
    const QString getType = types.last().trimmed();

    // "delegate @Accessor(key)" forwards to a keyed accessor with a fixed key.
    QString delegate = columns.at(3);
    QString setter = QStringLiteral("set") + member;
    QString getter = QStringLiteral("get") + member;
    QString keyPrefix;
    const int at = delegate.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString accessor = delegate.mid(at + 1).trimmed();
        delegate = delegate.left(at).trimmed();
        const int open = accessor.indexOf(QLatin1Char('('));
        setter = QStringLiteral("set") + accessor.left(open);
        getter = QStringLiteral("get") + accessor.left(open);
        keyPrefix = accessor.mid(open + 1, accessor.size() - open - 2) + QStringLiteral(", ");
    }
    const QString target = delegate + QStringLiteral("->");
    const AdaptorArgument value { setType, QStringLiteral("value") };
    const AdaptorArgument catalog { QStringLiteral("QString"), QStringLiteral("catalog") };
    const AdaptorArgument save { QStringLiteral("bool"), QStringLiteral("save") };
    const QString set = target + setter + QLatin1Char('(') + keyPrefix;
    const QString get = target + getter + QLatin1Char('(') + keyPrefix;

    if (withSave) {
        add(line, QStringLiteral("void"), QStringLiteral("set") + member, { value, catalog, save },
            set + QStringLiteral("value, catalog, save)"));
    }
    add(line, QStringLiteral("void"), QStringLiteral("set") + member, { value, catalog },
        set + (withSave ? QStringLiteral("value, catalog, false)") : QStringLiteral("value, catalog)")));
    add(line, QStringLiteral("void"), QStringLiteral("set") + member, { value },
        set
            + (withSave ? QStringLiteral("value, defaultCatalog(), false)")
                        : QStringLiteral("value, defaultCatalog())")));
    add(line, getType, QStringLiteral("get") + member, { catalog }, get + QStringLiteral("catalog)"));
    add(line, getType, QStringLiteral("get") + member, {}, get + QStringLiteral("defaultCatalog())"));
}

void AdaptorTable::addKeyed(const QStringList& columns, int line)
{
    const QString member = columns.at(1);
    const QString type = columns.at(2);
    const QString target = columns.at(3) + QStringLiteral("->");
    const AdaptorArgument key { QStringLiteral("QString"), QStringLiteral("key") };
    const AdaptorArgument value { type, QStringLiteral("value") };
    const AdaptorArgument catalog { QStringLiteral("QString"), QStringLiteral("catalog") };
    const AdaptorArgument save { QStringLiteral("bool"), QStringLiteral("save") };
    const QString set = target + QStringLiteral("set") + member;
    const QString get = target + QStringLiteral("get") + member;
    const QString bool_ = QStringLiteral("bool");

    add(line, bool_, QStringLiteral("set") + member, { key, value, catalog, save },
        set + QStringLiteral("(key, value, catalog, save)"));
    add(line, bool_, QStringLiteral("set") + member, { key, value, catalog },
        set + QStringLiteral("(key, value, catalog, false)"));
    add(line, bool_, QStringLiteral("set") + member, { key, value },
        set + QStringLiteral("(key, value, defaultCatalog(), false)"));
    add(line, type, QStringLiteral("get") + member, { key, catalog }, get + QStringLiteral("(key, catalog)"));
    add(line, type, QStringLiteral("get") + member, { key }, get + QStringLiteral("(key, defaultCatalog())"));
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
