#include "ValueText.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {
bool toBool(const QString& text, bool& ok)
{
    const QString lower = text.toLower();
    ok = true;
    if (lower == QLatin1String("true") || lower == QLatin1String("yes") || lower == QLatin1String("on")) {
        return true;
    }
    if (lower == QLatin1String("false") || lower == QLatin1String("no") || lower == QLatin1String("off")) {
        return false;
    }
    ok = false;
    return false;
}

QVariant fromJson(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        return QVariant();
    }
    return document.isArray() ? QVariant(document.array().toVariantList()) : QVariant(document.object().toVariantMap());
}
} // namespace

QVariant ValueText::toSignature(const QString& text, const QString& signature)
{
    bool ok = false;
    QVariant value;
    if (signature == QLatin1String("s")) {
        return text;
    }
    if (signature == QLatin1String("i")) {
        value = text.trimmed().toInt(&ok);
    } else if (signature == QLatin1String("u")) {
        value = text.trimmed().toUInt(&ok);
    } else if (signature == QLatin1String("x")) {
        value = text.trimmed().toLongLong(&ok);
    } else if (signature == QLatin1String("t")) {
        value = text.trimmed().toULongLong(&ok);
    } else if (signature == QLatin1String("n")) {
        value = QVariant::fromValue(text.trimmed().toShort(&ok));
    } else if (signature == QLatin1String("q")) {
        value = QVariant::fromValue(text.trimmed().toUShort(&ok));
    } else if (signature == QLatin1String("y")) {
        const uint byte = text.trimmed().toUInt(&ok);
        ok = ok && byte <= std::numeric_limits<uchar>::max();
        value = QVariant::fromValue(uchar(byte));
    } else if (signature == QLatin1String("d")) {
        const double number = text.trimmed().toDouble(&ok);
        ok = ok && std::isfinite(number);
        value = number;
    } else if (signature == QLatin1String("b")) {
        value = toBool(text.trimmed(), ok);
    } else if (signature == QLatin1String("a{sv}")) {
        value = fromJson(text);
        ok = value.type() == QVariant::Map;
    } else if (signature == QLatin1String("av")) {
        value = fromJson(text);
        ok = value.type() == QVariant::List;
    } else if (signature == QLatin1String("as")) {
        value = fromJson(text);
        ok = value.type() == QVariant::List;
        value = value.toStringList();
    }
    return ok ? value : QVariant();
}

QVariant ValueText::typed(const QString& text)
{
    static const QRegularExpression prefixed(
        QStringLiteral("^([idbsj]):(.*)$"), QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = prefixed.match(text);
    if (match.hasMatch()) {
        const QString kind = match.captured(1);
        const QString rest = match.captured(2);
        if (kind == QLatin1String("j")) {
            return fromJson(rest);
        }
        return toSignature(rest, kind);
    }
    static const QRegularExpression whole(QStringLiteral("^[-+]?[0-9]+$"));
    static const QRegularExpression decimal(QStringLiteral("^[-+]?([0-9]+\\.[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$"));
    if (whole.match(text).hasMatch()) {
        const QVariant number = toSignature(text, QStringLiteral("i"));
        return number.isValid() ? number : toSignature(text, QStringLiteral("x"));
    }
    if (decimal.match(text).hasMatch()) {
        return toSignature(text, QStringLiteral("d"));
    }
    if (text == QLatin1String("true") || text == QLatin1String("false")) {
        return text == QLatin1String("true");
    }
    return text;
}

QString ValueText::typeName(const QString& signature)
{
    static const QHash<QString, QString> names { { "s", "text" }, { "i", "int" }, { "u", "unsigned int" },
        { "x", "64-bit int" }, { "t", "unsigned 64-bit int" }, { "n", "16-bit int" }, { "q", "unsigned 16-bit int" },
        { "y", "byte" }, { "d", "double" }, { "b", "bool (true or false)" }, { "a{sv}", "JSON object" },
        { "av", "JSON array" }, { "as", "JSON array of texts" } };
    return names.value(signature, QStringLiteral("D-Bus type %1").arg(signature));
}

QString ValueText::display(const QVariant& value)
{
    switch (value.type()) {
    case QVariant::Map:
    case QVariant::List:
    case QVariant::StringList:
        return QString::fromUtf8(QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact));
    case QVariant::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QVariant::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}
