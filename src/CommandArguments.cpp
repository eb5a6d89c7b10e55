#include "CommandArguments.h"

#include "CommandHandler.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ErrorId.h"

#include <cmath>
#include <limits>

CommandArguments::CommandArguments(const ls::Command& command, const QLoggingCategory& category, const char* operation)
    : m_command(command)
    , m_category(category)
    , m_operation(operation)
{
}

bool CommandArguments::toInt(const QVariant& value, int& out)
{
    constexpr qlonglong lowest = std::numeric_limits<int>::min();
    constexpr qlonglong highest = std::numeric_limits<int>::max();
    bool ok = false;
    qlonglong number = 0;
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
        number = value.toLongLong(&ok);
        break;
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: {
        const qulonglong unsignedNumber = value.toULongLong(&ok);
        ok = ok && unsignedNumber <= static_cast<qulonglong>(highest);
        number = static_cast<qlonglong>(unsignedNumber);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double real = value.toDouble();
        // Compared as doubles before any conversion: a NaN or 1e300 must not reach the cast.
        ok = std::isfinite(real) && real == std::trunc(real) && real >= double(lowest) && real <= double(highest);
        number = ok ? static_cast<qlonglong>(real) : 0;
        break;
    }
    case QMetaType::QString:
        number = value.toString().toInt(&ok, 10);
        break;
    default:
        return false;
    }
    if (!ok || number < lowest || number > highest) {
        return false;
    }
    out = static_cast<int>(number);
    return true;
}

bool CommandArguments::refuse(const QString& errorId, const QString& message)
{
    m_failure = CommandHandler::failure(errorId);
    qCCritical(m_category).noquote() << libcorvane::logPrefix(m_operation, "ERROR:") << message;
    return false;
}

bool CommandArguments::refuseValue(const QString& message)
{
    return refuse(ls::ErrorId::InvalidValue, message);
}

bool CommandArguments::present(const QString& key)
{
    if (m_command.contains(key)) {
        return true;
    }
    return refuse(ls::ErrorId::ValueNotFound, QStringLiteral("data does not contain %1").arg(key));
}

bool CommandArguments::integer(const QString& key, int& out)
{
    if (!present(key)) {
        return false;
    }
    if (!toInt(m_command.value(key), out)) {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("int conversion of %1 failed!").arg(key));
    }
    return true;
}

bool CommandArguments::integer(const QString& key, int& out, int lowest, int highest)
{
    if (!integer(key, out)) {
        return false;
    }
    if (out < lowest || out > highest) {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("%1 %2 out of range!").arg(key).arg(out));
    }
    return true;
}

bool CommandArguments::integerList(const QString& key, QList<int>& out, int maxCount, int lowest, int highest)
{
    if (!present(key)) {
        return false;
    }
    const QVariant value = m_command.value(key);
    if (value.userType() != QMetaType::QVariantList && value.userType() != QMetaType::QStringList) {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("%1 is not a list of numbers!").arg(key));
    }
    const QVariantList items = value.toList();
    if (items.size() > maxCount) {
        return refuse(
            ls::ErrorId::InvalidValue, QStringLiteral("%1 holds more than %2 numbers!").arg(key).arg(maxCount));
    }
    for (const QVariant& item : items) {
        int n = 0;
        if (!toInt(item, n) || n < lowest || n > highest) {
            return refuse(ls::ErrorId::InvalidValue,
                QStringLiteral("%1 holds a value out of range: %2").arg(key, item.toString().left(64)));
        }
        out.append(n);
    }
    return true;
}

bool CommandArguments::flag(const QString& key, bool& out, bool required)
{
    if (!required && !m_command.contains(key)) {
        out = false;
        return true;
    }
    if (!present(key)) {
        return false;
    }
    const QVariant value = m_command.value(key);
    int number = -1;
    if (value.userType() == QMetaType::Bool) {
        out = value.toBool();
    } else if (value.userType() != QMetaType::QString && toInt(value, number) && (number == 0 || number == 1)) {
        out = number == 1;
    } else {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("%1 is not a flag!").arg(key));
    }
    return true;
}

bool CommandArguments::text(const QString& key, QString& out, bool required)
{
    if (!required && !m_command.contains(key)) {
        out.clear();
        return true;
    }
    if (!present(key)) {
        return false;
    }
    const QVariant value = m_command.value(key);
    if (value.userType() != QMetaType::QString) {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("%1 is not a text!").arg(key));
    }
    out = value.toString();
    return true;
}

bool CommandArguments::boolean(const QString& key, bool& out)
{
    if (!present(key)) {
        return false;
    }
    const QVariant value = m_command.value(key);
    if (value.userType() != QMetaType::Bool) {
        return refuse(ls::ErrorId::InvalidValue, QStringLiteral("%1 is not a bool!").arg(key));
    }
    out = value.toBool();
    return true;
}

bool CommandArguments::map(const QString& key, QVariantMap& out, const QString& what, const QString& emptyMessage)
{
    if (!present(key)) {
        return false;
    }
    const QVariant value = m_command.value(key);
    if (value.userType() != QMetaType::QVariantMap) {
        return refuse(
            ls::ErrorId::InvalidValue, QStringLiteral("invalid %1 received!").arg(what.isEmpty() ? key : what));
    }
    out = value.toMap();
    if (out.isEmpty()) {
        return refuse(ls::ErrorId::InvalidValue,
            emptyMessage.isEmpty() ? QStringLiteral("no data found in %1").arg(key) : emptyMessage);
    }
    return true;
}
