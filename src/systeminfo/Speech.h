#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The spoken feedback settings ("speech" catalog, settings file "speech"): volume and its fine
// adjustment, language, voice, date format and speed. Getters take a collection name, setters a
// value, a collection name and a save flag that writes the change through to the settings file.
class Speech : public TopicSettings {
    Q_OBJECT

public:
    Speech(const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    QString getVolume(const QString& collection) const;
    void setVolume(const QString& value, const QString& collection, bool save);
    int getVolumeFineAdjustment(const QString& collection) const;
    void setVolumeFineAdjustment(int value, const QString& collection, bool save);
    QString getCurrentSpeech(const QString& collection) const;
    void setCurrentSpeech(const QString& value, const QString& collection, bool save);
    QString getSpeechVoice(const QString& collection) const;
    void setSpeechVoice(const QString& value, const QString& collection, bool save);
    QString getDateFormat(const QString& collection) const;
    void setDateFormat(const QString& value, const QString& collection, bool save);
    int getSpeechSpeed(const QString& collection) const;
    void setSpeechSpeed(int value, const QString& collection, bool save);

    // The fine adjustment range of each volume: volume -> {"min", "max"}.
    QVariantMap getVolumeFineAdjustmentLimits() const;
};
