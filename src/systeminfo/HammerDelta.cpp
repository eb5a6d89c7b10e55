#include "HammerDelta.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IntValueDeltaParamId.h"

CM_LOGGING_CATEGORY(lcHammerDelta, "HammerDelta")

namespace {

bool isDeltaKey(const QString& key)
{
    return ls::IntValueDeltaParamId::meta.keyToValue(key) != ls::MetaEnum::invalid();
}

} // namespace

HammerDelta::HammerDelta(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(
        QStringLiteral("hammerDelta"), Locations::hammerDeltaFile(), reader, writer, catalogs, lcHammerDelta(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}

int HammerDelta::getIntDeltaValue(const QString& key, const QString& collection) const
{
    return m_access.getInt(key, collection, Q_FUNC_INFO);
}

bool HammerDelta::setIntDeltaValue(const QString& key, int value, const QString& collection, bool save)
{
    if (!isDeltaKey(key)) {
        LOG_ERROR(lcHammerDelta) << "Invalid int value delta parameter key!";
        return false;
    }
    return m_access.setValue(key, value, collection, save, Q_FUNC_INFO);
}

int HammerDelta::getIntDeltaValueChecked(const QString& key, const QString& collection, const char* caller) const
{
    if (!isDeltaKey(key)) {
        qCCritical(lcHammerDelta).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Invalid int value parameter key!" << key << collection;
        return 0;
    }
    return getIntDeltaValue(key, collection);
}

bool HammerDelta::setIntDeltaValueChecked(
    const QString& key, int value, const QString& collection, bool save, const char* caller)
{
    if (!isDeltaKey(key)) {
        qCCritical(lcHammerDelta).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << "Invalid int value parameter key!" << key << collection;
        return false;
    }
    return setIntDeltaValue(key, value, collection, save);
}
