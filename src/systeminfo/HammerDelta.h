#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The per-hammer corrections of the pulse time ("hammerDelta" catalog, settings file
// "hammerDelta"), keyed by the texts of ls::IntValueDeltaParamId.
class HammerDelta : public TopicSettings {
    Q_OBJECT

public:
    HammerDelta(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // -1 when the value cannot be read.
    int getIntDeltaValue(const QString& key, const QString& collection) const;
    // False for a key outside ls::IntValueDeltaParamId and when nothing was set.
    bool setIntDeltaValue(const QString& key, int value, const QString& collection, bool save);

    // The by-key D-Bus methods: a key outside ls::IntValueDeltaParamId is refused before the
    // catalog is asked, logged under `caller` with the key and the collection (getter: 0).
    int getIntDeltaValueChecked(const QString& key, const QString& collection, const char* caller) const;
    bool setIntDeltaValueChecked(
        const QString& key, int value, const QString& collection, bool save, const char* caller);
};
