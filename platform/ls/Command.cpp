#include "Command.h"

namespace ls {

Command::Command(const QVariantMap& request)
    : m_request(request)
{
}

const QVariantMap& Command::request() const
{
    return m_request;
}

QVariant Command::value(const QString& key) const
{
    return m_request.value(key);
}

bool Command::contains(const QString& key) const
{
    return m_request.contains(key);
}

} // namespace ls
