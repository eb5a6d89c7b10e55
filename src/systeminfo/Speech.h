#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The spoken feedback settings ("speech" catalog, settings file "speech"): volume and its fine
// adjustment, language, voice, date format and speed. Each is a plain parameter that the D-Bus
// methods reach by name through the accessor.
class Speech : public TopicSettings {
    Q_OBJECT

public:
    Speech(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // The fine adjustment range of each volume: volume -> {"min", "max"}.
    QVariantMap getVolumeFineAdjustmentLimits() const;
};
