#include "Parameters.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "ls/SensorValueId.h"

CM_LOGGING_CATEGORY(lcParameters, "Parameters")

namespace {
const QString layoutNrName = QStringLiteral("Layout file");
const QString pfStepDistName = QStringLiteral("PF Step dist");
const QString pfStepAdjustmentName = QStringLiteral("PF Step adjustment");
const QString topOfFormName = QStringLiteral("Top Of Form");
const QString printSpeedName = QStringLiteral("Print speed Text");
const QString endOfFileDelayName = QStringLiteral("End Of file delay");
const QString embosserAvailableName = QStringLiteral("Embosser available");
const QString availableFromName = QStringLiteral("Available from");
const QString availableToName = QStringLiteral("Available to");
const QString ledLightName = QStringLiteral("Led light");
const QString releaseOpenDelayName = QStringLiteral("Release open delay");
const QString letterFontName = QStringLiteral("Letter font");
const QString releaseLevelName = QStringLiteral("Release level");
const QString compensateDriftName = QStringLiteral("Compensate Drift");
const QString standbyPositionName = QStringLiteral("Standby position");
const QString adjustStandbyPosName = QStringLiteral("Adjust standby pos");
const QString floatingPageActiveName = QStringLiteral("Floating page active");
const QString limitCurrentDrawName = QStringLiteral("Limit current draw");
const QString sensorPaperJamName = QStringLiteral("Sensor paper jam");
const QString paperJamDetectName = QStringLiteral("Paper jam detect");
const QString pageNumberPrefixName = QStringLiteral("Page number prefix");
const QString prodTestPagesName = QStringLiteral("Prod test pages");
const QString quickPaperLoadName = QStringLiteral("Quick paper load");
const QString outOfRollerDistName = QStringLiteral("Out of roller distance");
const QString ledsForSensorsName = QStringLiteral("Leds for sensors");
const QString rollerStepDistanceName = QStringLiteral("Roller Step distance");
const QString desiredSlipName = QStringLiteral("Desired slip");
const QString httpsName = QStringLiteral("HTTPS");
const QString adjustOuterClosedPosName = QStringLiteral("Adjust Outer closed position");
const QString adjustInnerClosedPosName = QStringLiteral("Adjust Inner closed position");
const QString adjustOuterOpenPosName = QStringLiteral("Adjust Outer open position");
const QString adjustInnerOpenPosName = QStringLiteral("Adjust Inner open position");
const QString maxCurrentForTrayName = QStringLiteral("Max current for tray");
const QString printInOneDirectionName = QStringLiteral("Print in one direction");
const QString paperThrowOutSpeedName = QStringLiteral("Throw out speed");
const QString errorPopUpsName = QStringLiteral("Error pop ups");
const QString skipConfirmationPromptName = QStringLiteral("Skip confirmation prompt");
const QString useErrorTonesName = QStringLiteral("Use error tones");
const QString announceNetworkName = QStringLiteral("Announce network");
const QString automaticUpdateCheckName = QStringLiteral("Automatic update check");
const QString voltageLowLimitName = QStringLiteral("Voltage low limit");
const QString voltageHighLimitName = QStringLiteral("Voltage high limit");
const QString useAdjustableLinespacingName = QStringLiteral("Use adjustable linespacing");
const QString waitBeforePrintingName = QStringLiteral("Wait before printing next document");
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

double Parameters::getPFStepDist(const QString& collection) const
{
    return m_access.getDouble(pfStepDistName, collection, Q_FUNC_INFO);
}

void Parameters::setPFStepDist(double value, const QString& collection, bool save)
{
    m_access.setValue(pfStepDistName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getPFStepAdjustment(const QString& collection) const
{
    return m_access.getDouble(pfStepAdjustmentName, collection, Q_FUNC_INFO);
}

void Parameters::setPFStepAdjustment(double value, const QString& collection, bool save)
{
    m_access.setValue(pfStepAdjustmentName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getTopOfForm(const QString& collection) const
{
    return m_access.getDouble(topOfFormName, collection, Q_FUNC_INFO);
}

void Parameters::setTopOfForm(double value, const QString& collection, bool save)
{
    m_access.setValue(topOfFormName, value, collection, save, Q_FUNC_INFO);
}

QString Parameters::getPrintSpeed(const QString& collection) const
{
    return m_access.getString(printSpeedName, collection, Q_FUNC_INFO);
}

void Parameters::setPrintSpeed(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(printSpeedName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getEndOfFileDelay(const QString& collection) const
{
    return m_access.getInt(endOfFileDelayName, collection, Q_FUNC_INFO);
}

void Parameters::setEndOfFileDelay(int value, const QString& collection, bool save)
{
    m_access.setValue(endOfFileDelayName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getEmbosserAvailable(const QString& collection) const
{
    return m_access.getInt(embosserAvailableName, collection, Q_FUNC_INFO);
}

void Parameters::setEmbosserAvailable(int value, const QString& collection, bool save)
{
    m_access.setValue(embosserAvailableName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getAvailableFrom(const QString& collection) const
{
    return m_access.getDouble(availableFromName, collection, Q_FUNC_INFO);
}

void Parameters::setAvailableFrom(double value, const QString& collection, bool save)
{
    m_access.setValue(availableFromName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getAvailableTo(const QString& collection) const
{
    return m_access.getDouble(availableToName, collection, Q_FUNC_INFO);
}

void Parameters::setAvailableTo(double value, const QString& collection, bool save)
{
    m_access.setValue(availableToName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getLedLight(const QString& collection) const
{
    return m_access.getInt(ledLightName, collection, Q_FUNC_INFO);
}

void Parameters::setLedLight(int value, const QString& collection, bool save)
{
    m_access.setValue(ledLightName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getReleaseOpenDelay(const QString& collection) const
{
    return m_access.getInt(releaseOpenDelayName, collection, Q_FUNC_INFO);
}

void Parameters::setReleaseOpenDelay(int value, const QString& collection, bool save)
{
    m_access.setValue(releaseOpenDelayName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getLetterFont(const QString& collection) const
{
    return m_access.getInt(letterFontName, collection, Q_FUNC_INFO);
}

void Parameters::setLetterFont(int value, const QString& collection, bool save)
{
    m_access.setValue(letterFontName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getReleaseLevel(const QString& collection) const
{
    return m_access.getInt(releaseLevelName, collection, Q_FUNC_INFO);
}

void Parameters::setReleaseLevel(int value, const QString& collection, bool save)
{
    m_access.setValue(releaseLevelName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getCompensateDrift(const QString& collection) const
{
    return m_access.getInt(compensateDriftName, collection, Q_FUNC_INFO);
}

void Parameters::setCompensateDrift(int value, const QString& collection, bool save)
{
    m_access.setValue(compensateDriftName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getStandbyPosition(const QString& collection) const
{
    return m_access.getInt(standbyPositionName, collection, Q_FUNC_INFO);
}

void Parameters::setStandbyPosition(int value, const QString& collection, bool save)
{
    m_access.setValue(standbyPositionName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getAdjustStandbyPos(const QString& collection) const
{
    return m_access.getDouble(adjustStandbyPosName, collection, Q_FUNC_INFO);
}

void Parameters::setAdjustStandbyPos(double value, const QString& collection, bool save)
{
    m_access.setValue(adjustStandbyPosName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getFloatingPageActive(const QString& collection) const
{
    return m_access.getInt(floatingPageActiveName, collection, Q_FUNC_INFO);
}

void Parameters::setFloatingPageActive(int value, const QString& collection, bool save)
{
    m_access.setValue(floatingPageActiveName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getLimitCurrentDraw(const QString& collection) const
{
    return m_access.getInt(limitCurrentDrawName, collection, Q_FUNC_INFO);
}

void Parameters::setLimitCurrentDraw(int value, const QString& collection, bool save)
{
    m_access.setValue(limitCurrentDrawName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getSensorPaperJam(const QString& collection) const
{
    return m_access.getInt(sensorPaperJamName, collection, Q_FUNC_INFO);
}

void Parameters::setSensorPaperJam(int value, const QString& collection, bool save)
{
    m_access.setValue(sensorPaperJamName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getPaperJamDetect(const QString& collection) const
{
    return m_access.getInt(paperJamDetectName, collection, Q_FUNC_INFO);
}

void Parameters::setPaperJamDetect(int value, const QString& collection, bool save)
{
    m_access.setValue(paperJamDetectName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getPageNumberPrefix(const QString& collection) const
{
    return m_access.getInt(pageNumberPrefixName, collection, Q_FUNC_INFO);
}

void Parameters::setPageNumberPrefix(int value, const QString& collection, bool save)
{
    m_access.setValue(pageNumberPrefixName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getProdTestPages(const QString& collection) const
{
    return m_access.getInt(prodTestPagesName, collection, Q_FUNC_INFO);
}

void Parameters::setProdTestPages(int value, const QString& collection, bool save)
{
    m_access.setValue(prodTestPagesName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getQuickPaperLoad(const QString& collection) const
{
    return m_access.getInt(quickPaperLoadName, collection, Q_FUNC_INFO);
}

void Parameters::setQuickPaperLoad(int value, const QString& collection, bool save)
{
    m_access.setValue(quickPaperLoadName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getOutOfRollerDist(const QString& collection) const
{
    return m_access.getDouble(outOfRollerDistName, collection, Q_FUNC_INFO);
}

void Parameters::setOutOfRollerDist(double value, const QString& collection, bool save)
{
    m_access.setValue(outOfRollerDistName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getLedsForSensors(const QString& collection) const
{
    return m_access.getInt(ledsForSensorsName, collection, Q_FUNC_INFO);
}

void Parameters::setLedsForSensors(int value, const QString& collection, bool save)
{
    m_access.setValue(ledsForSensorsName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getRollerStepDistance(const QString& collection) const
{
    return m_access.getDouble(rollerStepDistanceName, collection, Q_FUNC_INFO);
}

void Parameters::setRollerStepDistance(double value, const QString& collection, bool save)
{
    m_access.setValue(rollerStepDistanceName, value, collection, save, Q_FUNC_INFO);
}

double Parameters::getDesiredSlip(const QString& collection) const
{
    return m_access.getDouble(desiredSlipName, collection, Q_FUNC_INFO);
}

void Parameters::setDesiredSlip(double value, const QString& collection, bool save)
{
    m_access.setValue(desiredSlipName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getHTTPS(const QString& collection) const
{
    return m_access.getInt(httpsName, collection, Q_FUNC_INFO);
}

void Parameters::setHTTPS(int value, const QString& collection, bool save)
{
    m_access.setValue(httpsName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAdjustOuterClosedPos(const QString& collection) const
{
    return m_access.getInt(adjustOuterClosedPosName, collection, Q_FUNC_INFO);
}

void Parameters::setAdjustOuterClosedPos(int value, const QString& collection, bool save)
{
    m_access.setValue(adjustOuterClosedPosName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAdjustInnerClosedPos(const QString& collection) const
{
    return m_access.getInt(adjustInnerClosedPosName, collection, Q_FUNC_INFO);
}

void Parameters::setAdjustInnerClosedPos(int value, const QString& collection, bool save)
{
    m_access.setValue(adjustInnerClosedPosName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAdjustOuterOpenPos(const QString& collection) const
{
    return m_access.getInt(adjustOuterOpenPosName, collection, Q_FUNC_INFO);
}

void Parameters::setAdjustOuterOpenPos(int value, const QString& collection, bool save)
{
    m_access.setValue(adjustOuterOpenPosName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getAdjustInnerOpenPos(const QString& collection) const
{
    return m_access.getInt(adjustInnerOpenPosName, collection, Q_FUNC_INFO);
}

void Parameters::setAdjustInnerOpenPos(int value, const QString& collection, bool save)
{
    m_access.setValue(adjustInnerOpenPosName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getMaxCurrentForTray(const QString& collection) const
{
    return m_access.getInt(maxCurrentForTrayName, collection, Q_FUNC_INFO);
}

void Parameters::setMaxCurrentForTray(int value, const QString& collection, bool save)
{
    m_access.setValue(maxCurrentForTrayName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getPrintInOneDirection(const QString& collection) const
{
    return m_access.getInt(printInOneDirectionName, collection, Q_FUNC_INFO);
}

void Parameters::setPrintInOneDirection(int value, const QString& collection, bool save)
{
    m_access.setValue(printInOneDirectionName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getPaperThrowOutSpeed(const QString& collection) const
{
    return m_access.getInt(paperThrowOutSpeedName, collection, Q_FUNC_INFO);
}

void Parameters::setPaperThrowOutSpeed(int value, const QString& collection, bool save)
{
    m_access.setValue(paperThrowOutSpeedName, value, collection, save, Q_FUNC_INFO);
}

QString Parameters::getErrorPopUps(const QString& collection) const
{
    return m_access.getString(errorPopUpsName, collection, Q_FUNC_INFO);
}

void Parameters::setErrorPopUps(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(errorPopUpsName, value, collection, save, Q_FUNC_INFO);
}

QString Parameters::getSkipConfirmationPrompt(const QString& collection) const
{
    return m_access.getString(skipConfirmationPromptName, collection, Q_FUNC_INFO);
}

void Parameters::setSkipConfirmationPrompt(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(skipConfirmationPromptName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getUseErrorTones(const QString& collection) const
{
    return m_access.getInt(useErrorTonesName, collection, Q_FUNC_INFO);
}

void Parameters::setUseErrorTones(int value, const QString& collection, bool save)
{
    m_access.setValue(useErrorTonesName, value, collection, save, Q_FUNC_INFO);
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

int Parameters::getVoltageLowLimit(const QString& collection) const
{
    return m_access.getInt(voltageLowLimitName, collection, Q_FUNC_INFO);
}

void Parameters::setVoltageLowLimit(int value, const QString& collection, bool save)
{
    m_access.setValue(voltageLowLimitName, value, collection, save, Q_FUNC_INFO);
}

int Parameters::getVoltageHighLimit(const QString& collection) const
{
    return m_access.getInt(voltageHighLimitName, collection, Q_FUNC_INFO);
}

void Parameters::setVoltageHighLimit(int value, const QString& collection, bool save)
{
    m_access.setValue(voltageHighLimitName, value, collection, save, Q_FUNC_INFO);
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
