#include "DefaultParameters.h"

#include "CatalogsManager.h"
#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcDefaultParameters, "DefaultParameters")

DefaultParameters::DefaultParameters(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : QObject(parent)
    , m_writer(writer)
{
    load(reader);
    applyTo(catalogs);
}

bool DefaultParameters::load(const ls::IReader& reader)
{
    return DataFileLoader::load(reader, QStringLiteral("defaultParameters.json"), m_defaults, Q_FUNC_INFO,
        lcDefaultParameters(), DataShape::objects());
}

void DefaultParameters::applyTo(CatalogsManager& catalogs) const
{
    for (const QString& catalogName : catalogs.getCatalogNames(masterCollectionKey)) {
        const auto found = m_defaults.constFind(catalogName);
        if (found == m_defaults.constEnd()) {
            continue;
        }
        ParametersCatalog* catalog = catalogs.getCatalog(catalogName, masterCollectionKey);
        const QVariantMap values = found.value().toMap();
        for (auto it = values.constBegin(); catalog && it != values.constEnd(); ++it) {
            if (EmbosserParameter* parameter = catalog->getParameter(it.key(), false)) {
                parameter->value = it.value();
            }
        }
    }
}
