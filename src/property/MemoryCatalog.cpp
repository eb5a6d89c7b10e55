#include "MemoryCatalog.h"

MemoryCatalog::MemoryCatalog(
    const QString& catalogName, CatalogsManager& catalogs, const QLoggingCategory& category, QObject* parent)
    : QObject(parent)
    , m_access(catalogName, catalogs, category)
{
}
