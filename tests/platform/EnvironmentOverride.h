#pragma once

#include <QByteArray>

// Sets (or, with an empty value, unsets) one environment variable for the lifetime of the
// object and restores the previous state afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const QByteArray& value);
    ~EnvironmentOverride();

    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_previous;
};
