#pragma once

#include <QVariantMap>

namespace ls {

// One request of the command protocol as handed to a command handler: the whole request map,
// from which the handler and its operation read every key.
class Command {
public:
    explicit Command(const QVariantMap& request);

    const QVariantMap& request() const;
    QVariant value(const QString& key) const;
    bool contains(const QString& key) const;

private:
    QVariantMap m_request;
};

} // namespace ls
