#include "WireTypes.h"

#include "layout/ParameterList.h"
#include "ls/Keys.h"
#include "property/Property.h"

#include <cmath>
#include <limits>

namespace {
const QString precisionField = QStringLiteral("precision");
const QString typeField = QStringLiteral("type");

// Members that carry a parameter's value under a name of the protocol: a user paper's size.
const QList<QPair<QString, QString>> aliases
    = { { ls::widthKey, QStringLiteral("Paper width") }, { ls::heightKey, QStringLiteral("Paper length") } };

bool isNumber(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}
} // namespace

WireTypes::WireTypes(const Property& property, const ParameterList& parameterList, QObject* parent)
    : QObject(parent)
{
    const QVariantMap catalogs = property.catalogs();
    for (const QVariant& catalog : catalogs) {
        const QVariantMap definitions = catalog.toMap();
        for (auto it = definitions.constBegin(); it != definitions.constEnd(); ++it) {
            const QVariantMap definition = it.value().toMap();
            const QString type = definition.value(typeField).toString();
            if (type != QLatin1String("int") && type != QLatin1String("double")) {
                continue;
            }
            bool hasPrecision = false;
            const int precision = definition.value(precisionField).toInt(&hasPrecision);
            const bool whole = hasPrecision ? precision == 0 : type == QLatin1String("int");
            m_kinds.insert(it.key(), whole ? Kind::Int : Kind::Double);
        }
    }
    // The layout parameter list decides for its own parameters.
    const QVariantMap parameters = parameterList.getParameterList();
    for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it) {
        const QVariantMap record = it.value().toMap();
        if (record.value(QStringLiteral("eValueType")).toString() == QLatin1String("Numeric")) {
            bool ok = false;
            const int precision = record.value(precisionField).toInt(&ok);
            if (ok) {
                m_kinds.insert(it.key(), precision == 0 ? Kind::Int : Kind::Double);
            }
        }
    }
    for (const auto& alias : aliases) {
        const auto kind = m_kinds.constFind(alias.second);
        if (kind != m_kinds.constEnd()) {
            m_kinds.insert(alias.first, kind.value());
        }
    }
}

QVariantMap WireTypes::typed(const QVariantMap& map) const
{
    QVariantMap out = map;
    for (auto it = out.begin(); it != out.end(); ++it) {
        it.value() = typed(it.key(), it.value());
    }
    return out;
}

QList<QPair<QString, QVariantMap>> WireTypes::typed(const QList<QPair<QString, QVariantMap>>& families) const
{
    QList<QPair<QString, QVariantMap>> out;
    out.reserve(families.size());
    for (const auto& family : families) {
        out.append({ family.first, typed(family.second) });
    }
    return out;
}

QVariant WireTypes::typed(const QString& name, const QVariant& value) const
{
    const auto kind = m_kinds.constFind(name);
    if (kind == m_kinds.constEnd() || value.userType() == QMetaType::QVariantMap
        || value.userType() == QMetaType::QVariantList) {
        return typedValue(value);
    }
    double number = 0.0;
    bool ok = isNumber(value);
    if (ok) {
        number = value.toDouble();
    } else if (value.userType() == QMetaType::QString) {
        number = value.toString().trimmed().toDouble(&ok);
    }
    if (!ok || !std::isfinite(number)) {
        return value;
    }
    if (kind.value() == Kind::Double) {
        return number;
    }
    // A whole number that int holds; anything else keeps what it is rather than lose digits.
    if (number == std::trunc(number) && number >= std::numeric_limits<int>::min()
        && number <= std::numeric_limits<int>::max()) {
        return static_cast<int>(number);
    }
    return value;
}

QVariant WireTypes::typedValue(const QVariant& value) const
{
    switch (value.userType()) {
    case QMetaType::QVariantMap:
        return typed(value.toMap());
    case QMetaType::QVariantList: {
        QVariantList list = value.toList();
        for (QVariant& item : list) {
            item = typedValue(item);
        }
        return list;
    }
    default:
        return value;
    }
}
