#pragma once

#include <QObject>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The default values of "defaultParameters.json" (catalog -> parameter -> value), given to the
// master collection once at start-up, before the settings files override them. A default leaves
// `inFile` as it is, so it is never written to a settings file by itself.
class DefaultParameters : public QObject {
    Q_OBJECT

public:
    DefaultParameters(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);
    QVariantMap defaults() const { return m_defaults; }

private:
    void applyTo(CatalogsManager& catalogs) const;

    const ls::IWriter& m_writer;
    QVariantMap m_defaults;
};
