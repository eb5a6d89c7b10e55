#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The machine's operating parameters ("parameters" catalog, settings file "parameters"):
// mechanics, paper feed, sensors, release timing and user interface options. Getters take a
// collection name, setters a value, a collection name and a save flag that writes the change
// through to the settings file.
//
// Three families are keyed by id text, which is also the parameter name: release times
// (ls::ReleaseTimeId), sensor states (ls::SensorStateId, stored as the On/Off text of
// ls::SensorValueId) and the two switches stored as the Yes/No text.
class Parameters : public TopicSettings {
    Q_OBJECT

public:
    Parameters(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    int getLayoutNr(const QString& collection) const;
    void setLayoutNr(int value, const QString& collection, bool save);
    double getPFStepDist(const QString& collection) const;
    void setPFStepDist(double value, const QString& collection, bool save);
    double getPFStepAdjustment(const QString& collection) const;
    void setPFStepAdjustment(double value, const QString& collection, bool save);
    double getTopOfForm(const QString& collection) const;
    void setTopOfForm(double value, const QString& collection, bool save);
    QString getPrintSpeed(const QString& collection) const;
    void setPrintSpeed(const QString& value, const QString& collection, bool save);
    int getEndOfFileDelay(const QString& collection) const;
    void setEndOfFileDelay(int value, const QString& collection, bool save);
    int getEmbosserAvailable(const QString& collection) const;
    void setEmbosserAvailable(int value, const QString& collection, bool save);
    double getAvailableFrom(const QString& collection) const;
    void setAvailableFrom(double value, const QString& collection, bool save);
    double getAvailableTo(const QString& collection) const;
    void setAvailableTo(double value, const QString& collection, bool save);
    int getLedLight(const QString& collection) const;
    void setLedLight(int value, const QString& collection, bool save);
    int getReleaseOpenDelay(const QString& collection) const;
    void setReleaseOpenDelay(int value, const QString& collection, bool save);
    int getLetterFont(const QString& collection) const;
    void setLetterFont(int value, const QString& collection, bool save);
    int getReleaseLevel(const QString& collection) const;
    void setReleaseLevel(int value, const QString& collection, bool save);
    int getCompensateDrift(const QString& collection) const;
    void setCompensateDrift(int value, const QString& collection, bool save);
    int getStandbyPosition(const QString& collection) const;
    void setStandbyPosition(int value, const QString& collection, bool save);
    double getAdjustStandbyPos(const QString& collection) const;
    void setAdjustStandbyPos(double value, const QString& collection, bool save);
    int getFloatingPageActive(const QString& collection) const;
    void setFloatingPageActive(int value, const QString& collection, bool save);
    int getLimitCurrentDraw(const QString& collection) const;
    void setLimitCurrentDraw(int value, const QString& collection, bool save);
    int getSensorPaperJam(const QString& collection) const;
    void setSensorPaperJam(int value, const QString& collection, bool save);
    int getPaperJamDetect(const QString& collection) const;
    void setPaperJamDetect(int value, const QString& collection, bool save);
    int getPageNumberPrefix(const QString& collection) const;
    void setPageNumberPrefix(int value, const QString& collection, bool save);
    int getProdTestPages(const QString& collection) const;
    void setProdTestPages(int value, const QString& collection, bool save);
    int getQuickPaperLoad(const QString& collection) const;
    void setQuickPaperLoad(int value, const QString& collection, bool save);
    double getOutOfRollerDist(const QString& collection) const;
    void setOutOfRollerDist(double value, const QString& collection, bool save);
    int getLedsForSensors(const QString& collection) const;
    void setLedsForSensors(int value, const QString& collection, bool save);
    double getRollerStepDistance(const QString& collection) const;
    void setRollerStepDistance(double value, const QString& collection, bool save);
    double getDesiredSlip(const QString& collection) const;
    void setDesiredSlip(double value, const QString& collection, bool save);
    int getHTTPS(const QString& collection) const;
    void setHTTPS(int value, const QString& collection, bool save);
    int getAdjustOuterClosedPos(const QString& collection) const;
    void setAdjustOuterClosedPos(int value, const QString& collection, bool save);
    int getAdjustInnerClosedPos(const QString& collection) const;
    void setAdjustInnerClosedPos(int value, const QString& collection, bool save);
    int getAdjustOuterOpenPos(const QString& collection) const;
    void setAdjustOuterOpenPos(int value, const QString& collection, bool save);
    int getAdjustInnerOpenPos(const QString& collection) const;
    void setAdjustInnerOpenPos(int value, const QString& collection, bool save);
    int getMaxCurrentForTray(const QString& collection) const;
    void setMaxCurrentForTray(int value, const QString& collection, bool save);
    int getPrintInOneDirection(const QString& collection) const;
    void setPrintInOneDirection(int value, const QString& collection, bool save);
    int getPaperThrowOutSpeed(const QString& collection) const;
    void setPaperThrowOutSpeed(int value, const QString& collection, bool save);
    QString getErrorPopUps(const QString& collection) const;
    void setErrorPopUps(const QString& value, const QString& collection, bool save);
    QString getSkipConfirmationPrompt(const QString& collection) const;
    void setSkipConfirmationPrompt(const QString& value, const QString& collection, bool save);
    int getUseErrorTones(const QString& collection) const;
    void setUseErrorTones(int value, const QString& collection, bool save);
    int getAnnounceNetwork(const QString& collection) const;
    void setAnnounceNetwork(int value, const QString& collection, bool save);
    int getAutomaticUpdateCheck(const QString& collection) const;
    void setAutomaticUpdateCheck(int value, const QString& collection, bool save);
    int getVoltageLowLimit(const QString& collection) const;
    void setVoltageLowLimit(int value, const QString& collection, bool save);
    int getVoltageHighLimit(const QString& collection) const;
    void setVoltageHighLimit(int value, const QString& collection, bool save);

    // -1 and false for an id outside ls::ReleaseTimeId.
    int getReleaseTime(const QString& id, const QString& collection) const;
    bool setReleaseTime(const QString& id, int value, const QString& collection, bool save);

    // A sensor is on unless its stored text is the off text; false for an id outside
    // ls::SensorStateId.
    bool getSensorState(const QString& id, const QString& collection) const;
    bool setSensorState(const QString& id, bool state, const QString& collection, bool save);

    // True unless the stored text is the no text.
    bool getUseAdjustableLinespacing(const QString& collection) const;
    void setUseAdjustableLinespacing(bool value, const QString& collection, bool save);
    // 1 unless the stored text is the no text; any non-zero value stores the yes text.
    int getWaitBeforePrinting(const QString& collection) const;
    void setWaitBeforePrinting(int value, const QString& collection, bool save);
};
