#include "Speech.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcSpeech, "Speech")

namespace {
QVariantMap limits(int min, int max)
{
    return { { QStringLiteral("min"), min }, { QStringLiteral("max"), max } };
}
} // namespace

Speech::Speech(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(QStringLiteral("speech"), Locations::speechFile(), reader, writer, catalogs, lcSpeech(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}

QVariantMap Speech::getVolumeFineAdjustmentLimits() const
{
    return {
        { QStringLiteral("low"), limits(87, 92) },
        { QStringLiteral("medium"), limits(93, 97) },
        { QStringLiteral("high"), limits(98, 102) },
    };
}
