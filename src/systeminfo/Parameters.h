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
// Most are plain parameters that the D-Bus methods reach by name through the accessor. Three families are keyed by id
// text, which is also the parameter name: release times (ls::ReleaseTimeId), sensor states (ls::SensorStateId, stored
// as the On/Off text of ls::SensorValueId) and the two switches stored as the Yes/No text.
class Parameters : public TopicSettings {
    Q_OBJECT

public:
    Parameters(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // The members the service itself uses; the plain parameters of the catalog are reached by name
    // through the accessor.
    int getLayoutNr(const QString& collection) const;
    void setLayoutNr(int value, const QString& collection, bool save);
    int getAnnounceNetwork(const QString& collection) const;
    void setAnnounceNetwork(int value, const QString& collection, bool save);
    int getAutomaticUpdateCheck(const QString& collection) const;
    void setAutomaticUpdateCheck(int value, const QString& collection, bool save);
    // The web server's HTTPS state as the system information shows it: 1 on, 0 off.
    void setHTTPS(int value, const QString& collection, bool save);

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
