#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace ls {

// Maps the texts of one id family to integers, in declaration order from 0. A text that is not
// listed maps to std::numeric_limits<int>::min(), the framework's "invalid" value.
class MetaEnum {
public:
    explicit MetaEnum(const char* familyName);

    static int invalid();

    QString name() const;
    int keyToValue(const QString& key) const;
    QString valueToKey(int value) const;
    bool contains(const QString& key) const;
    QStringList keys() const;
    int keyCount() const;

    // Called by EnumKey while the family's constants are initialised; returns the new integer.
    int add(const QString& key);

private:
    QString m_name;
    QStringList m_keys;
    QHash<QString, int> m_values;
};

} // namespace ls
