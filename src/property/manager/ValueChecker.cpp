#include "ValueChecker.h"

#include "property/PropValueList.h"

#include <cmath>
#include <limits>

namespace {
const QString typeField = QStringLiteral("type");
const QString minField = QStringLiteral("minValue");
const QString maxField = QStringLiteral("maxValue");
const QString listField = QStringLiteral("eValueList");

bool isPlain(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

// The number a value stands for; texts count when they are numbers through and through.
bool toNumber(const QVariant& value, double& number)
{
    if (value.userType() == QMetaType::Bool) {
        return false;
    }
    bool ok = false;
    number = value.userType() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok) : value.toDouble(&ok);
    return ok;
}

QString rangeProblem(const QVariantMap& definition, double number)
{
    bool ok = false;
    const double minimum = definition.value(minField).toDouble(&ok);
    if (ok && definition.contains(minField) && number < minimum) {
        return QStringLiteral("below the minimum %1").arg(minimum);
    }
    const double maximum = definition.value(maxField).toDouble(&ok);
    if (ok && definition.contains(maxField) && number > maximum) {
        return QStringLiteral("above the maximum %1").arg(maximum);
    }
    return QString();
}
} // namespace

QString ValueChecker::problem(const QVariantMap& definition, const QVariant& value) const
{
    if (!isPlain(value)) {
        return QStringLiteral("not a plain value");
    }
    const QString text = value.toString();
    if (text.size() > maxTextLength) {
        return QStringLiteral("longer than %1 characters").arg(maxTextLength);
    }
    const QString type = definition.value(typeField).toString();
    if (type == QLatin1String("int") || type == QLatin1String("double")) {
        double number = 0;
        if (!toNumber(value, number) || !std::isfinite(number)) {
            return QStringLiteral("not a finite number");
        }
        if (type == QLatin1String("int")
            && (number != std::floor(number) || number < std::numeric_limits<int>::min()
                || number > std::numeric_limits<int>::max())) {
            return QStringLiteral("not a whole number");
        }
        const QString range = rangeProblem(definition, number);
        if (!range.isEmpty()) {
            return range;
        }
    } else if (type == QLatin1String("bool")) {
        if (value.userType() != QMetaType::Bool && text != QLatin1String("true") && text != QLatin1String("false")) {
            return QStringLiteral("not true or false");
        }
    }
    const QString list = definition.value(listField).toString();
    return list.isEmpty() ? QString() : listProblem(list, value, type == QLatin1String("int"));
}

QString ValueChecker::listProblem(const QString& listName, const QVariant& value, bool byNumber) const
{
    if (!m_lists) {
        return QStringLiteral("its value list %1 is not loaded").arg(listName);
    }
    const QVariantList entries = m_lists->values(listName);
    for (const QVariant& entry : entries) {
        const QVariantMap fields = entry.toMap();
        if (byNumber ? fields.value(QStringLiteral("intValue")).toDouble() == value.toDouble()
                     : fields.value(QStringLiteral("description")).toString() == value.toString()) {
            return QString();
        }
    }
    const auto nameCheck = m_nameChecks.constFind(listName);
    if (!byNumber && nameCheck != m_nameChecks.constEnd() && nameCheck.value()(value.toString())) {
        return QString();
    }
    return QStringLiteral("not in the value list %1").arg(listName);
}
