#include "CatalogsManager.h"

#include "libcorvane/LogPrefix.h"
#include "property/Property.h"

#include <QDebug>

CM_LOGGING_CATEGORY(lcCatalogsManager, "CatalogsManager")

CatalogsManager::CatalogsManager(const Property& definitions, QObject* parent)
    : QObject(parent)
{
    Collection master;
    const QVariantMap catalogs = definitions.catalogs();
    for (auto it = catalogs.constBegin(); it != catalogs.constEnd(); ++it) {
        master.insert(it.key(), ParametersCatalog(it.key(), it.value().toMap()));
    }
    m_collections.insert(masterCollectionKey, master);
}

ParametersCatalog* CatalogsManager::getCatalog(const QString& catalog, const QString& collection)
{
    auto found = m_collections.find(m_collections.contains(collection) ? collection : masterCollectionKey);
    if (found != m_collections.end()) {
        const auto entry = found->find(catalog);
        if (entry != found->end()) {
            return &entry.value();
        }
    }
    LOG_ERROR(lcCatalogsManager) << "Catalogs does not contain" << catalog;
    return nullptr;
}

bool CatalogsManager::mayStore(const QString& collection, const char* caller) const
{
    if (collection.isEmpty() || collection.size() > maxNameLength) {
        qCCritical(lcCatalogsManager).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "collection names have 1 to" << maxNameLength << "characters";
        return false;
    }
    if (!m_collections.contains(collection) && m_collections.size() >= maxCollections) {
        qCCritical(lcCatalogsManager).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "no more than" << maxCollections << "collections";
        return false;
    }
    return true;
}

bool CatalogsManager::addCatalogsCollection(const QString& collection)
{
    if (!mayStore(collection, Q_FUNC_INFO)) {
        return false;
    }
    m_collections.insert(collection, m_collections.value(masterCollectionKey));
    return true;
}

bool CatalogsManager::duplicateCatalog(const QString& source, const QString& target)
{
    const auto found = m_collections.constFind(source);
    if (found == m_collections.constEnd()) {
        LOG_ERROR(lcCatalogsManager) << "Catalogs collection does not contain catalogs for" << source;
        return false;
    }
    if (!mayStore(target, Q_FUNC_INFO)) {
        return false;
    }
    const Collection copy = found.value();
    m_collections.insert(target, copy);
    return true;
}

bool CatalogsManager::removeCatalogsCollection(const QString& collection)
{
    if (collection == masterCollectionKey) {
        LOG_ERROR(lcCatalogsManager) << "the master collection holds the live configuration and stays.";
        return false;
    }
    if (m_collections.remove(collection) > 0) {
        return true;
    }
    LOG_ERROR(lcCatalogsManager) << "Could not find" << collection << "for removing from collection.";
    return false;
}

QStringList CatalogsManager::getCatalogNames(const QString& collection) const
{
    return m_collections.value(m_collections.contains(collection) ? collection : masterCollectionKey).keys();
}

namespace {
const QString esc = QStringLiteral("\x1b");
}

void CatalogsManager::printCatalogs(const Collection& collection) const
{
    for (auto catalog = collection.constBegin(); catalog != collection.constEnd(); ++catalog) {
        QString text = esc + QStringLiteral("[38;5;15;4m") + catalog.key() + esc + QStringLiteral("[0m\n");
        const ParametersCatalog& parameters = catalog.value();
        for (const QString& name : parameters.parameterNames()) {
            const EmbosserParameter* parameter = parameters.parameter(name);
            text += esc + QStringLiteral("[38;5;254m") + esc + QStringLiteral("[4G") + name + esc
                + QStringLiteral("[0m\n");
            for (auto field = parameter->definition.constBegin(); field != parameter->definition.constEnd(); ++field) {
                text += esc + QStringLiteral("[8G") + field.key() + QStringLiteral(": ") + field.value().toString()
                    + QLatin1Char('\n');
            }
            if (!parameter->value.isNull()) {
                QString value;
                QDebug(&value).nospace() << parameter->value;
                text += esc + QStringLiteral("[8G") + QStringLiteral("value: ") + value + QLatin1Char('\n');
            }
            text += esc + QStringLiteral("[8G") + QStringLiteral("in file: ")
                + (parameter->inFile ? QStringLiteral("true") : QStringLiteral("false")) + QStringLiteral("\n\n");
        }
        qCDebug(lcCatalogsManager).noquote().nospace() << text;
    }
}

void CatalogsManager::printAllCatalogs(const QString& collection) const
{
    const auto found = m_collections.constFind(collection);
    if (found == m_collections.constEnd()) {
        LOG_ERROR(lcCatalogsManager) << "Catalogs collection does not contain catalogs for" << collection;
        return;
    }
    printCatalogs(found.value());
}

void CatalogsManager::printAllCatalogsCollection() const
{
    const QString banner = esc + QStringLiteral("[38;5;0;48;5;14;1m");
    qCDebug(lcCatalogsManager).noquote().nospace()
        << "\n\n"
        << banner << "Number of catalogs collections: " << m_collections.size() << esc << "[0m";
    int number = 1;
    for (auto collection = m_collections.constBegin(); collection != m_collections.constEnd(); ++collection, ++number) {
        qCDebug(lcCatalogsManager).noquote().nospace()
            << banner << "Catalogs collection " << number << ": " << collection.key() << esc << "[0m\n\n";
        printCatalogs(collection.value());
    }
}
