#include "ParameterValues.h"

#include "ParameterList.h"
#include "libcorvane/LogPrefix.h"
#include "property/PropValueList.h"

#include <utility>

namespace {
CM_LOGGING_CATEGORY(lcParameterValues, "ParameterValues")

const QString descriptionKey = QStringLiteral("description");
constexpr int firstLayout = 1;
constexpr int lastLayout = 99;
} // namespace

ParameterValues::ParameterValues(
    const PropValueList& valueList, const ParameterList& parameterList, LayoutReader readLayout, QObject* parent)
    : QObject(parent)
    , m_valueList(valueList)
    , m_parameterList(parameterList)
    , m_readLayout(std::move(readLayout))
{
}

bool ParameterValues::lookUp(
    const QString& layout, const QString& parameter, QString& value, QVariantList& entries, const char* caller) const
{
    // Only a layout number names a file; anything else finds no layout and so no parameter.
    QVariantMap data;
    bool isNumber = false;
    const int number = layout.toInt(&isNumber, 10);
    if (isNumber && number >= firstLayout && number <= lastLayout && m_readLayout) {
        data = m_readLayout(number);
    }
    const auto found = data.constFind(parameter);
    if (found == data.constEnd()) {
        qCCritical(lcParameterValues).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Parameter" << parameter << "not found in the layout!";
        return false;
    }
    // Undefined and None both mean the parameter takes free values.
    const lcm::RowValueList list = m_parameterList.getRowValueList(parameter);
    if (static_cast<int>(list) <= static_cast<int>(lcm::RowValueList::None)) {
        qCCritical(lcParameterValues).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Value list for" << parameter << "not found!";
        return false;
    }
    value = found.value().toString();
    entries = m_valueList.getValues(list);
    return true;
}

int ParameterValues::getIntValue(const QString& layout, const QString& parameter) const
{
    QString value;
    QVariantList entries;
    if (!lookUp(layout, parameter, value, entries, Q_FUNC_INFO)) {
        return -1;
    }
    for (int position = 0; position < entries.size(); ++position) {
        if (entries.at(position).toMap().value(descriptionKey).toString() == value) {
            return position;
        }
    }
    LOG_ERROR(lcParameterValues) << "value" << value << "of" << parameter << "not found in its value list!";
    return -1;
}

double ParameterValues::getFloatValue(const QString& layout, const QString& parameter) const
{
    QString value;
    QVariantList entries;
    if (!lookUp(layout, parameter, value, entries, Q_FUNC_INFO)) {
        return -1.0;
    }
    for (const QVariant& entry : entries) {
        const QVariantMap record = entry.toMap();
        if (record.value(descriptionKey).toString() == value) {
            // The match decides: an entry that carries no number answers 0.0, never the -1.0 of
            // a value its list does not hold.
            return record.value(QStringLiteral("floatValue")).toDouble();
        }
    }
    LOG_ERROR(lcParameterValues) << "value" << value << "of" << parameter << "not found in its value list!";
    return -1.0;
}
