#include "TempProperties.h"

#include "libcorvane/LogPrefix.h"
#include "property/manager/CatalogsManager.h"

CM_LOGGING_CATEGORY(lcTempProperties, "TempProperties")

namespace {
const QString speakCustomPaper = QStringLiteral("Speak Custom Paper");
const QString printingPaused = QStringLiteral("Printing Paused");
} // namespace

TempProperties::TempProperties(CatalogsManager& catalogs, QObject* parent)
    : MemoryCatalog(QStringLiteral("temporary"), catalogs, lcTempProperties(), parent)
{
}

QVariantMap TempProperties::getTempProperties(const QString& collection) const
{
    return accessor().values(collection, Q_FUNC_INFO);
}

bool TempProperties::getSwitch(const QString& name, const char* caller) const
{
    return accessor().getValue(name, masterCollectionKey, caller).toBool();
}

bool TempProperties::getSpeakCustomPaper() const
{
    return getSwitch(speakCustomPaper, Q_FUNC_INFO);
}

void TempProperties::setSpeakCustomPaper(bool speak)
{
    accessor().setValue(speakCustomPaper, speak, masterCollectionKey, false, Q_FUNC_INFO);
}

bool TempProperties::getPrintingPaused() const
{
    return getSwitch(printingPaused, Q_FUNC_INFO);
}

void TempProperties::setPrintingPaused(bool paused)
{
    accessor().setValue(printingPaused, paused, masterCollectionKey, false, Q_FUNC_INFO);
}
