#include "Speech.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcSpeech, "Speech")

namespace {
const QString volumeKey = QStringLiteral("Volume");
const QString volumeFineAdjustmentKey = QStringLiteral("Volume fine adjustment");
const QString currentSpeechKey = QStringLiteral("Current speech");
const QString speechVoiceKey = QStringLiteral("Speech voice");
const QString dateFormatKey = QStringLiteral("Date format");
const QString speechSpeedKey = QStringLiteral("Speech speed");

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

QString Speech::getVolume(const QString& collection) const
{
    return m_access.getString(volumeKey, collection, Q_FUNC_INFO);
}

void Speech::setVolume(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(volumeKey, value, collection, save, Q_FUNC_INFO);
}

int Speech::getVolumeFineAdjustment(const QString& collection) const
{
    return m_access.getInt(volumeFineAdjustmentKey, collection, Q_FUNC_INFO);
}

void Speech::setVolumeFineAdjustment(int value, const QString& collection, bool save)
{
    m_access.setValue(volumeFineAdjustmentKey, value, collection, save, Q_FUNC_INFO);
}

QString Speech::getCurrentSpeech(const QString& collection) const
{
    return m_access.getString(currentSpeechKey, collection, Q_FUNC_INFO);
}

void Speech::setCurrentSpeech(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(currentSpeechKey, value, collection, save, Q_FUNC_INFO);
}

QString Speech::getSpeechVoice(const QString& collection) const
{
    return m_access.getString(speechVoiceKey, collection, Q_FUNC_INFO);
}

void Speech::setSpeechVoice(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(speechVoiceKey, value, collection, save, Q_FUNC_INFO);
}

QString Speech::getDateFormat(const QString& collection) const
{
    return m_access.getString(dateFormatKey, collection, Q_FUNC_INFO);
}

void Speech::setDateFormat(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(dateFormatKey, value, collection, save, Q_FUNC_INFO);
}

int Speech::getSpeechSpeed(const QString& collection) const
{
    return m_access.getInt(speechSpeedKey, collection, Q_FUNC_INFO);
}

void Speech::setSpeechSpeed(int value, const QString& collection, bool save)
{
    m_access.setValue(speechSpeedKey, value, collection, save, Q_FUNC_INFO);
}

QVariantMap Speech::getVolumeFineAdjustmentLimits() const
{
    return {
        { QStringLiteral("low"), limits(87, 92) },
        { QStringLiteral("medium"), limits(93, 97) },
        { QStringLiteral("high"), limits(98, 102) },
    };
}
