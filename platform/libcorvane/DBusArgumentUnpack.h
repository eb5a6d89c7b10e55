#pragma once

#include <QVariantMap>

namespace libcorvane {

// The deepest nesting of containers and variants that dbusArgumentUnpack follows.
constexpr int dbusArgumentMaxDepth = 64;

// Turns a map received over D-Bus into plain variants at any depth: QDBusArgument maps (a{sv},
// a{ss}, any dictionary; keys become strings) become QVariantMap, arrays become QVariantList
// (QStringList for "as"), structures become QVariantList of their members, variants in variants
// are opened, object paths and signatures become strings. Values already plain pass unchanged.
// The input is not consumed: unpacking the same map twice gives the same result.
// Anything nested deeper than dbusArgumentMaxDepth is replaced by an invalid QVariant and
// logged; `complete`, when given, is set to false in that case and true otherwise.
QVariantMap dbusArgumentUnpack(const QVariantMap& map, bool* complete = nullptr);

} // namespace libcorvane
