#include "SerialCom.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcSerialCom, "SerialCom")

SerialCom::SerialCom(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(
        QStringLiteral("serialCom"), Locations::serialComFile(), reader, writer, catalogs, lcSerialCom(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}
