#include "EscapeParametersCatalog.h"

#include "libcorvane/LogPrefix.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/EmbosserParameter.h"
#include "property/manager/ParametersCatalog.h"

namespace {
CM_LOGGING_CATEGORY(lc, "EscapeParametersCatalog")

const QString catalogKey = QStringLiteral("catalog");
const QString identifierKey = QStringLiteral("ESCIdentifier");
const QString paramNameKey = QStringLiteral("ESCParamName");
const QString functionKey = QStringLiteral("ESCFunction");
const QString valueTypeKey = QStringLiteral("ESCValueType");
} // namespace

EscapeParametersCatalog::EscapeParametersCatalog(
    const QVariantMap& escapeDetails, CatalogsManager& catalogs, const QString& collection)
    : m_details(escapeDetails)
    , m_catalogs(catalogs)
    , m_collection(collection)
{
}

void EscapeParametersCatalog::createIdentifierList()
{
    m_names.clear();
    m_catalogNames.clear();
    m_identifiers.clear();
    for (auto it = m_details.constBegin(); it != m_details.constEnd(); ++it) {
        if (!it.value().isValid()) {
            LOG_ERROR(lc) << "escape details for parameter not found:" << it.key();
            continue;
        }
        if (it.value().userType() != QMetaType::QVariantMap) {
            LOG_ERROR(lc) << "invalid escape data for parameter" << it.key();
            continue;
        }
        const QVariantMap details = it.value().toMap();
        if (!details.contains(catalogKey)) {
            LOG_ERROR(lc) << it.key() << "catalog not found, skipping";
            continue;
        }
        if (!details.contains(identifierKey)) {
            LOG_ERROR(lc) << it.key() << "identifier not found, skipping";
            continue;
        }
        if (!details.contains(paramNameKey)) {
            LOG_ERROR(lc) << it.key() << "ESC parameter name not found, skipping";
            continue;
        }
        const QString catalog = details.value(catalogKey).toString();
        const QString name = details.value(paramNameKey).toString();
        const QString identifier = details.value(identifierKey).toString();
        ParametersCatalog* found = m_catalogs.getCatalog(catalog, m_collection);
        if (!found || !found->parameter(name)) {
            LOG_ERROR(lc) << "parameter" << name << "of" << identifier << "not found in catalog" << catalog;
            continue;
        }
        m_names.insert(identifier, name);
        m_catalogNames.insert(identifier, catalog);
        m_identifiers.insert(name, identifier);
    }
}

EmbosserParameter* EscapeParametersCatalog::getParameterFromIdentifier(const QString& identifier) const
{
    ParametersCatalog* catalog = m_names.contains(identifier)
        ? m_catalogs.getCatalog(m_catalogNames.value(identifier), m_collection)
        : nullptr;
    EmbosserParameter* parameter = catalog ? catalog->getParameter(m_names.value(identifier), false) : nullptr;
    if (!parameter) {
        LOG_ERROR(lc) << "parameter for identifier not found:" << identifier;
    }
    return parameter;
}

QString EscapeParametersCatalog::getParameterNameFromIdentifier(const QString& identifier) const
{
    if (!m_names.contains(identifier)) {
        LOG_ERROR(lc) << "parameter name for identifier not found:" << identifier;
    }
    return m_names.value(identifier);
}

QString EscapeParametersCatalog::getIdentifierFromParameterName(const QString& name) const
{
    if (!m_identifiers.contains(name)) {
        LOG_ERROR(lc) << "identifier for parameter not found:" << name;
    }
    return m_identifiers.value(name);
}

QString EscapeParametersCatalog::getCatalogFromIdentifier(const QString& identifier) const
{
    return m_catalogNames.value(identifier);
}

QString EscapeParametersCatalog::detail(
    const QString& name, const QString& key, const char* missing, const char* caller) const
{
    if (!m_details.contains(name)) {
        LOG_ERROR(lc) << caller << name << "parameter not found in parameters map.";
        return {};
    }
    const QVariantMap details = m_details.value(name).toMap();
    if (!details.contains(key)) {
        LOG_ERROR(lc) << caller << name << missing;
        return {};
    }
    return details.value(key).toString();
}

QString EscapeParametersCatalog::getESCValueType(const QString& name) const
{
    return detail(name, valueTypeKey, "ESC value type not found in parameter details", "getESCValueType");
}

QString EscapeParametersCatalog::getESCFunction(const QString& name) const
{
    return detail(name, functionKey, "ESC function not found in parameter details", "getESCFunction");
}

int EscapeParametersCatalog::getPrecision(const QString& name) const
{
    const QString identifier = m_identifiers.value(name);
    ParametersCatalog* catalog = m_catalogs.getCatalog(m_catalogNames.value(identifier), m_collection);
    const EmbosserParameter* parameter = catalog ? catalog->parameter(name) : nullptr;
    bool ok = false;
    const int precision = parameter ? parameter->definition.value(QStringLiteral("precision")).toInt(&ok) : 0;
    if (!ok) {
        LOG_ERROR(lc) << "parameter" << name << " not found!";
        return -1;
    }
    return precision;
}
