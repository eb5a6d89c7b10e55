#include "ParameterList.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IWriter.h"

#include <QMetaEnum>

namespace {
CM_LOGGING_CATEGORY(lcParameterList, "ParameterList")

const QString parameterListFile = QStringLiteral("parameterList.json");

void logFailed(const char* caller, const QString& parameter)
{
    qCCritical(lcParameterList).noquote() << libcorvane::logPrefix(caller, "FAILED!") << "for" << parameter;
}
} // namespace

ParameterList::ParameterList(const ls::IReader& reader, const ls::IWriter& writer, QObject* parent)
    : QObject(parent)
    , m_reader(reader)
    , m_writer(writer)
{
    load();
}

bool ParameterList::load()
{
    return DataFileLoader::load(
        m_reader, parameterListFile, m_parameters, Q_FUNC_INFO, lcParameterList(), DataShape::objects());
}

QVariant ParameterList::getValue(const QString& parameter, const QString& field) const
{
    const auto found = m_parameters.constFind(parameter);
    if (found == m_parameters.constEnd()) {
        LOG_ERROR(lcParameterList) << "property" << parameter << "not found!";
        return {};
    }
    if (found.value().userType() != QMetaType::QVariantMap) {
        LOG_ERROR(lcParameterList) << "property" << parameter << "converting to map failed!";
        return {};
    }
    const QVariantMap record = found.value().toMap();
    const auto value = record.constFind(field);
    if (value == record.constEnd()) {
        LOG_ERROR(lcParameterList) << "property" << parameter << "does not contain" << field;
        return {};
    }
    return value.value();
}

bool ParameterList::boolField(const QString& parameter, const QString& field, const char* caller) const
{
    const QVariant value = getValue(parameter, field);
    switch (value.userType()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        // Only the words of a flag count; QVariant would take any other text as true.
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            return false;
        }
        break;
    }
    default:
        break;
    }
    logFailed(caller, parameter);
    return false;
}

int ParameterList::intField(const QString& parameter, const QString& field, const char* caller) const
{
    const QVariant value = getValue(parameter, field);
    // canConvert() holds for any text, so the conversion itself must succeed ("abc" is no number).
    bool ok = false;
    const int number = (!value.isNull() && value.canConvert<int>()) ? value.toInt(&ok) : 0;
    if (!ok) {
        logFailed(caller, parameter);
        return -1;
    }
    return number;
}

int ParameterList::enumField(
    const QString& parameter, const QString& field, const QMetaEnum& enumeration, const char* caller) const
{
    const QVariant value = getValue(parameter, field);
    bool ok = false;
    int number = 0;
    if (!value.isNull() && value.userType() == QMetaType::QString) {
        number = enumeration.keyToValue(value.toString().toLatin1().constData(), &ok);
    }
    if (!ok) {
        logFailed(caller, parameter);
        return 0;
    }
    return number;
}

bool ParameterList::getStored(const QString& parameter) const
{
    return boolField(parameter, QStringLiteral("stored"), Q_FUNC_INFO);
}

bool ParameterList::getHideValueInactive(const QString& parameter) const
{
    return boolField(parameter, QStringLiteral("hideValueInactive"), Q_FUNC_INFO);
}

bool ParameterList::getEditable(const QString& parameter) const
{
    return boolField(parameter, QStringLiteral("editable"), Q_FUNC_INFO);
}

int ParameterList::getIndex(const QString& parameter) const
{
    return intField(parameter, QStringLiteral("index"), Q_FUNC_INFO);
}

int ParameterList::getMinValue(const QString& parameter) const
{
    return intField(parameter, QStringLiteral("minValue"), Q_FUNC_INFO);
}

int ParameterList::getMaxValue(const QString& parameter) const
{
    return intField(parameter, QStringLiteral("maxValue"), Q_FUNC_INFO);
}

int ParameterList::getPrecision(const QString& parameter) const
{
    return intField(parameter, QStringLiteral("precision"), Q_FUNC_INFO);
}

lcm::ValueType ParameterList::getValueType(const QString& parameter) const
{
    return static_cast<lcm::ValueType>(
        enumField(parameter, QStringLiteral("eValueType"), QMetaEnum::fromType<lcm::ValueType>(), Q_FUNC_INFO));
}

lcm::RowValueList ParameterList::getRowValueList(const QString& parameter) const
{
    return static_cast<lcm::RowValueList>(
        enumField(parameter, QStringLiteral("eValueList"), QMetaEnum::fromType<lcm::RowValueList>(), Q_FUNC_INFO));
}

bool ParameterList::setValue(const QString& parameter, const QString& field, const QVariant& value)
{
    const QString keyPath = QStringLiteral("%1/%2").arg(parameter, field);
    if (!m_writer.writeKeyPath(DataFileLoader::dataFile(parameterListFile), keyPath, value)) {
        LOG_ERROR(lcParameterList) << "writing property" << parameter << "key" << field << "failed!";
        return false;
    }
    load();
    return true;
}
