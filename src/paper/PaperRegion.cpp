#include "PaperRegion.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcPaperRegion, "PaperRegion")

namespace {
// The key name of a region, null for a value outside the enumeration.
const char* regionKey(lcm::Region region)
{
    return lcm::EnumDetail::metaEnum("Region").valueToKey(static_cast<int>(region));
}
} // namespace

PaperRegion::PaperRegion(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(reader);
}

bool PaperRegion::load(const ls::IReader& reader)
{
    return DataFileLoader::load(
        reader, QStringLiteral("paperRegions.json"), m_regions, Q_FUNC_INFO, lcPaperRegion(), DataShape::arrays());
}

bool PaperRegion::isValid(lcm::Region region, const QString& paper) const
{
    const char* key = regionKey(region);
    if (!key) {
        LOG_ERROR(lcPaperRegion) << "invalid region!";
        return false;
    }
    return m_regions.value(QLatin1String(key)).toStringList().contains(paper);
}

QString PaperRegion::getPaper(lcm::Region region) const
{
    const char* key = regionKey(region);
    if (!key) {
        LOG_ERROR(lcPaperRegion) << "invalid region!";
        return QString();
    }
    const QStringList papers = m_regions.value(QLatin1String(key)).toStringList();
    if (papers.isEmpty()) {
        LOG_ERROR(lcPaperRegion) << "no paper listed for region" << key;
        return QString();
    }
    return papers.first();
}
