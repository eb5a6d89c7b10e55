#include "MetaEnum.h"

#include <limits>

namespace ls {

MetaEnum::MetaEnum(const char* familyName)
    : m_name(QString::fromLatin1(familyName))
{
}

int MetaEnum::invalid()
{
    return std::numeric_limits<int>::min();
}

QString MetaEnum::name() const
{
    return m_name;
}

int MetaEnum::keyToValue(const QString& key) const
{
    return m_values.value(key, invalid());
}

QString MetaEnum::valueToKey(int value) const
{
    return value >= 0 && value < m_keys.size() ? m_keys.at(value) : QString();
}

bool MetaEnum::contains(const QString& key) const
{
    return m_values.contains(key);
}

QStringList MetaEnum::keys() const
{
    return m_keys;
}

int MetaEnum::keyCount() const
{
    return m_keys.size();
}

int MetaEnum::add(const QString& key)
{
    const auto existing = m_values.constFind(key);
    if (existing != m_values.constEnd()) {
        return existing.value();
    }
    m_keys.append(key);
    m_values.insert(key, m_keys.size() - 1);
    return m_keys.size() - 1;
}

} // namespace ls
