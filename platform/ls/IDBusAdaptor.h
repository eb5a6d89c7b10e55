#pragma once

#include <QVariantMap>

namespace ls {

// The object behind a service's D-Bus adaptor: process() answers the `process` method.
// Qt signals cannot be declared in a non-QObject interface, so every implementer (a QObject)
// also declares the signal `void notification(const QVariantMap&)`, which the adaptor relays
// to D-Bus.
class IDBusAdaptor {
public:
    virtual ~IDBusAdaptor() = default;
    virtual QVariantMap process(const QVariantMap& request) = 0;
};

} // namespace ls
