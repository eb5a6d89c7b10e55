#include "NetworkProperties.h"

#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcNetworkProperties, "NetworkProperties")

NetworkProperties::NetworkProperties(CatalogsManager& catalogs, QObject* parent)
    : MemoryCatalog(QStringLiteral("network"), catalogs, lcNetworkProperties(), parent)
{
}
