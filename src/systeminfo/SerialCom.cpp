#include "SerialCom.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcSerialCom, "SerialCom")

namespace {
const QString baudrateKey = QStringLiteral("Baudrate");
const QString databitKey = QStringLiteral("Databit");
const QString parityKey = QStringLiteral("Parity");
const QString stopbitKey = QStringLiteral("Stopbit");
const QString handshakeKey = QStringLiteral("Handshake");
} // namespace

SerialCom::SerialCom(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(
        QStringLiteral("serialCom"), Locations::serialComFile(), reader, writer, catalogs, lcSerialCom(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}

int SerialCom::getBaudrate(const QString& collection) const
{
    return m_access.getInt(baudrateKey, collection, Q_FUNC_INFO);
}

void SerialCom::setBaudrate(int value, const QString& collection, bool save)
{
    m_access.setValue(baudrateKey, value, collection, save, Q_FUNC_INFO);
}

QString SerialCom::getDatabit(const QString& collection) const
{
    return m_access.getString(databitKey, collection, Q_FUNC_INFO);
}

void SerialCom::setDatabit(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(databitKey, value, collection, save, Q_FUNC_INFO);
}

QString SerialCom::getParity(const QString& collection) const
{
    return m_access.getString(parityKey, collection, Q_FUNC_INFO);
}

void SerialCom::setParity(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(parityKey, value, collection, save, Q_FUNC_INFO);
}

QString SerialCom::getStopbit(const QString& collection) const
{
    return m_access.getString(stopbitKey, collection, Q_FUNC_INFO);
}

void SerialCom::setStopbit(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(stopbitKey, value, collection, save, Q_FUNC_INFO);
}

QString SerialCom::getHandshake(const QString& collection) const
{
    return m_access.getString(handshakeKey, collection, Q_FUNC_INFO);
}

void SerialCom::setHandshake(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(handshakeKey, value, collection, save, Q_FUNC_INFO);
}
