#pragma once

#include <QDBusArgument>
#include <QMetaType>
#include <QVariantMap>
#include <QVector>

namespace lcm {

// A value list as records: one map per entry, marshalled on D-Bus as aa{sv}.
using PropList = QVector<QVariantMap>;

// Registers PropList with the meta-type and D-Bus type systems; safe to call more than once.
void registerPropList();

} // namespace lcm

Q_DECLARE_METATYPE(lcm::PropList)
