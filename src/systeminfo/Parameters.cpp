#include "Parameters.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "ls/SensorValueId.h"

CM_LOGGING_CATEGORY(lcParameters, "Parameters")

namespace {
const QString layoutNrName = QStringLiteral("Layout file");
const QString announceNetworkName = QStringLiteral("Announce network");
const QString automaticUpdateCheckName = QStringLiteral("Automatic update check");
const QString useAdjustableLinespacingName = QStringLiteral("Use adjustable linespacing");
const QString waitBeforePrintingName = QStringLiteral("Wait before printing next document");
const QString httpsName = QStringLiteral("HTTPS");
} // namespace

Parameters::Parameters(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(
        QStringLiteral("parameters"), Locations::parametersFile(), reader, writer, catalogs, lcParameters(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}

int Parameters::getLayoutNr(const QString& collection) const
{
    return m_access.getInt(layoutNrName, collection, Q_FUNC_INFO);
}

void Parameters::setLayoutNr(int value, const QString& collection, bool save)
{
    m_access.setValue(layoutNrName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAnnounceNetwork(const QString& collection) const
{
    return m_access.getInt(announceNetworkName, collection, Q_FUNC_INFO);
}

void Parameters::setAnnounceNetwork(int value, const QString& collection, bool save)
{
    m_access.setValue(announceNetworkName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAutomaticUpdateCheck(const QString& collection) const
{
    return m_access.getInt(automaticUpdateCheckName, collection, Q_FUNC_INFO);
}

void Parameters::setAutomaticUpdateCheck(int value, const QString& collection, bool save)
{
    m_access.setValue(automaticUpdateCheckName, value, collection, save, Q_FUNC_INFO);
}

void Parameters::setHTTPS(int value, const QString& collection, bool save)
{
    m_access.setValue(httpsName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getReleaseTime(const QString& id, const QString& collection) const
{
    if (!ls::ReleaseTimeId::meta.contains(id)) {
        LOG_ERROR(lcParameters) << "Invalid release time id!";
        return -1;
    }
    return m_access.getInt(id, collection, Q_FUNC_INFO);
}

bool Parameters::setReleaseTime(const QString& id, int value, const QString& collection, bool save)
{
    if (!ls::ReleaseTimeId::meta.contains(id)) {
        LOG_ERROR(lcParameters) << "Invalid release time id!";
        return false;
    }
    return m_access.setValue(id, value, collection, save, Q_FUNC_INFO);
}

bool Parameters::getSensorState(const QString& id, const QString& collection) const
{
    if (!ls::SensorStateId::meta.contains(id)) {
        LOG_ERROR(lcParameters) << "Invalid sensor state id!";
        return false;
    }
    return m_access.getString(id, collection, Q_FUNC_INFO) != ls::SensorValueId::OffValueKey;
}

bool Parameters::setSensorState(const QString& id, bool state, const QString& collection, bool save)
{
    if (!ls::SensorStateId::meta.contains(id)) {
        LOG_ERROR(lcParameters) << "Invalid sensor state id!";
        return false;
    }
    // The on/off text, not a JSON boolean: the getter and the sensors' value list compare texts,
    // and a stored false would read back as "false", which is not the off text.
    const QString text = state ? ls::SensorValueId::OnValueKey : ls::SensorValueId::OffValueKey;
    return m_access.setValue(id, text, collection, save, Q_FUNC_INFO);
}

bool Parameters::getUseAdjustableLinespacing(const QString& collection) const
{
    return m_access.getString(useAdjustableLinespacingName, collection, Q_FUNC_INFO) != ls::SensorValueId::NoValueKey;
}

void Parameters::setUseAdjustableLinespacing(bool value, const QString& collection, bool save)
{
    const QString text = value ? ls::SensorValueId::YesValueKey : ls::SensorValueId::NoValueKey;
    m_access.setValue(useAdjustableLinespacingName, text, collection, save, Q_FUNC_INFO);
}

int Parameters::getWaitBeforePrinting(const QString& collection) const
{
    return m_access.getString(waitBeforePrintingName, collection, Q_FUNC_INFO) == ls::SensorValueId::NoValueKey ? 0 : 1;
}

void Parameters::setWaitBeforePrinting(int value, const QString& collection, bool save)
{
    const QString text = value != 0 ? ls::SensorValueId::YesValueKey : ls::SensorValueId::NoValueKey;
    m_access.setValue(waitBeforePrintingName, text, collection, save, Q_FUNC_INFO);
}
