#pragma once

#include <QVariant>
#include <QVariantMap>

// One tunable value of the embosser. `definition` is the record of the definitions file as read
// (never changed); `value` is null until a default or a stored value arrives; `inFile` says the
// value is, or must be, in the topic's settings file.
struct EmbosserParameter {
    QVariantMap definition;
    QVariant value;
    bool inFile = false;
};
