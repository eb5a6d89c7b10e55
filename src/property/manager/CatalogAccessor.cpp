#include "CatalogAccessor.h"

#include "CatalogsManager.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "log/Logger.h"

#define ACCESSOR_LOG(tag) qCCritical(m_category).noquote() << libcorvane::logPrefix(caller, tag)

CatalogAccessor::CatalogAccessor(const QString& catalogName, const QString& settingsFile, const ls::IReader& reader,
    const ls::IWriter& writer, CatalogsManager& catalogs, const QLoggingCategory& category)
    : m_catalogName(catalogName)
    , m_file(std::in_place, settingsFile, reader, writer, category)
    , m_catalogs(catalogs)
    , m_category(category)
{
}

CatalogAccessor::CatalogAccessor(
    const QString& catalogName, CatalogsManager& catalogs, const QLoggingCategory& category)
    : m_catalogName(catalogName)
    , m_catalogs(catalogs)
    , m_category(category)
{
}

const QString& CatalogAccessor::settingsFile() const
{
    static const QString none;
    return m_file ? m_file->path() : none;
}

ParametersCatalog* CatalogAccessor::catalog(const QString& collection, const char* caller) const
{
    ParametersCatalog* found = m_catalogs.getCatalog(m_catalogName, collection);
    if (!found) {
        ACCESSOR_LOG("ERROR:") << m_catalogName << "catalog does not exist.";
    }
    return found;
}

const EmbosserParameter* CatalogAccessor::find(
    const QString& parameter, const QString& collection, const char* caller) const
{
    ParametersCatalog* topic = catalog(collection, caller);
    if (!topic) {
        return nullptr;
    }
    const EmbosserParameter* found = topic->getParameter(parameter, false);
    if (!found) {
        ACCESSOR_LOG("ERROR:") << "parameter" << parameter << " not found!";
    }
    return found;
}

QVariant CatalogAccessor::getValue(const QString& parameter, const QString& collection, const char* caller) const
{
    const EmbosserParameter* found = find(parameter, collection, caller);
    return found ? found->value : QVariant();
}

QVariantMap CatalogAccessor::values(const QString& collection, const char* caller) const
{
    const ParametersCatalog* topic = catalog(collection, caller);
    QVariantMap out;
    if (!topic) {
        return out;
    }
    const QStringList names = topic->parameterNames();
    for (const QString& name : names) {
        const EmbosserParameter* parameter = topic->parameter(name);
        if (parameter && !parameter->value.isNull()) {
            out.insert(name, parameter->value);
        }
    }
    return out;
}

int CatalogAccessor::getInt(const QString& parameter, const QString& collection, const char* caller) const
{
    const EmbosserParameter* found = find(parameter, collection, caller);
    if (!found) {
        return -1;
    }
    // A parameter that never got a value (no default, nothing stored) fails its conversion too.
    const QVariant& value = found->value;
    bool ok = false;
    const int converted = value.toInt(&ok);
    if (!ok) {
        ACCESSOR_LOG("ERROR:") << parameter << "conversion to int failed!";
        return -1;
    }
    return converted;
}

double CatalogAccessor::getDouble(const QString& parameter, const QString& collection, const char* caller) const
{
    const EmbosserParameter* found = find(parameter, collection, caller);
    if (!found) {
        return -1.0;
    }
    const QVariant& value = found->value;
    bool ok = false;
    const double converted = value.toDouble(&ok);
    if (!ok) {
        ACCESSOR_LOG("ERROR:") << parameter << "conversion to double failed!";
        return -1.0;
    }
    return converted;
}

QString CatalogAccessor::getString(const QString& parameter, const QString& collection, const char* caller) const
{
    return getValue(parameter, collection, caller).toString();
}

bool CatalogAccessor::setValue(
    const QString& parameter, const QVariant& value, const QString& collection, bool save, const char* caller) const
{
    ParametersCatalog* topic = catalog(collection, caller);
    if (!topic) {
        return false;
    }
    EmbosserParameter* found = topic->getParameter(parameter, save);
    if (!found) {
        ACCESSOR_LOG("ERROR:") << "parameter" << parameter << " not found!";
        return false;
    }
    const QString problem = m_catalogs.checker().problem(found->definition, value);
    if (!problem.isEmpty()) {
        ACCESSOR_LOG("ERROR:") << "refused value for" << parameter << ":" << problem;
        return false;
    }
    if (save && m_file) {
        libcorvane::Singleton<detail::Logger>::instance().logChange(found->value, value);
    }
    found->value = value;
    if (!save || !m_file) {
        return true;
    }
    found->inFile = true;
    // A file that cannot take one key (damaged since the start) is written whole instead.
    if (!m_file->writeKey(parameter, value, caller)) {
        saveToFile(caller);
    }
    return true;
}

bool CatalogAccessor::readFile(QVariantMap& out, const char* caller) const
{
    out.clear();
    if (!m_file) {
        return false;
    }
    const SettingsFile::Origin origin = m_file->read(out, caller);
    return origin == SettingsFile::Origin::File || origin == SettingsFile::Origin::LastGood
        || origin == SettingsFile::Origin::Factory;
}

CatalogAccessor::Loaded CatalogAccessor::load(const char* caller) const
{
    QVariantMap stored;
    Loaded loaded;
    if (!m_file) {
        return loaded;
    }
    loaded.origin = m_file->read(stored, caller);
    loaded.keys = stored.size();
    ParametersCatalog* master = catalog(masterCollectionKey, caller);
    if (!master) {
        return loaded;
    }
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it) {
        if (EmbosserParameter* parameter = master->getParameter(it.key(), false)) {
            parameter->value = it.value();
            parameter->inFile = true;
        }
    }
    return loaded;
}

bool CatalogAccessor::saveToFile(const char* caller) const
{
    if (!m_file) {
        return true;
    }
    const ParametersCatalog* master = m_catalogs.getCatalog(m_catalogName, masterCollectionKey);
    const QVariantMap stored = master ? master->storedValues() : QVariantMap();
    if (stored.isEmpty()) {
        return true;
    }
    if (!m_file->writeAll(stored, caller)) {
        ACCESSOR_LOG("FAILED!") << "Saving data for file" << m_catalogName << "failed!";
        return false;
    }
    return true;
}

void CatalogAccessor::syncFlashParameters(const char* caller) const
{
    if (!m_file) {
        return;
    }
    ParametersCatalog* master = catalog(masterCollectionKey, caller);
    if (!master) {
        return;
    }
    bool changed = false;
    master->syncFlashParameters(changed);
    if (changed) {
        saveToFile(caller);
    }
}
