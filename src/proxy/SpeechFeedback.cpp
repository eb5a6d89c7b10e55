#include "SpeechFeedback.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "peers/Speech.h"

#include <QEventLoop>
#include <QMetaEnum>
#include <QMutexLocker>
#include <QTimer>

namespace {
CM_LOGGING_CATEGORY(lc, "SpeechFeedback")

QString toneFile(int tone)
{
    static const char* const files[] = { "tone400.raw", "tone800.raw", "tone1000.raw", "tone1200.raw", "noise.raw" };
    if (tone < 1 || tone > int(std::size(files))) {
        return {};
    }
    return Locations::join(Locations::tonesDir(), QString::fromLatin1(files[tone - 1]));
}

template <typename Enum> const char* sentenceName(Enum sid)
{
    const char* name = QMetaEnum::fromType<Enum>().valueToKey(int(sid));
    return name ? name : "?";
}

constexpr int coreSentences = 0;
constexpr int errorSentences = 1;
} // namespace

namespace detail {

SpeechFeedback::SpeechFeedback(QObject* parent)
    : QObject(parent)
    , m_speech(libcorvane::Singleton<libspeech::detail::Speech>::instance())
{
    connect(&m_speech, &libspeech::detail::Speech::connected, this,
        []() { LOG_DEBUG(lc) << "Connected to speech-daemon."; });
    connect(&m_speech, &libspeech::detail::Speech::disconnected, this,
        []() { LOG_DEBUG(lc) << "Disconnected from speech-daemon."; });
    connect(
        this, &SpeechFeedback::speakAsync, &m_speech, &libspeech::detail::Speech::speakFromId, Qt::QueuedConnection);
    connect(this, &SpeechFeedback::fileAsync, &m_speech, &libspeech::detail::Speech::file, Qt::QueuedConnection);
    connect(this, &SpeechFeedback::cancelAsync, &m_speech, &libspeech::detail::Speech::cancelAll, Qt::QueuedConnection);
}

bool SpeechFeedback::tone(Tone tone)
{
    const QString path = toneFile(tone);
    if (path.isEmpty()) {
        LOG_WARN(lc) << "Missing file for tone:" << int(tone);
        return false;
    }
    LOG_DEBUG(lc) << "SpeechFeedback::file(" << path << ")";
    QMutexLocker lock(&m_mutex);
    m_requested = true;
    emit fileAsync(path);
    return true;
}

void SpeechFeedback::speakFromId(const libtranslation::Sid::EmbosserCore& sid, const QStringList& args)
{
    speak(coreSentences, int(sid), sentenceName(sid), args);
}

void SpeechFeedback::speakFromId(const libtranslation::Sid::EmbosserError& sid, const QStringList& args)
{
    speak(errorSentences, int(sid), sentenceName(sid), args);
}

void SpeechFeedback::speak(int serviceId, int sentenceId, const char* name, const QStringList& args)
{
    QVariantMap request { { QStringLiteral("serviceId"), serviceId }, { QStringLiteral("sentenceId"), sentenceId } };
    if (!args.isEmpty()) {
        request.insert(QStringLiteral("arguments"), args);
    }
    QMutexLocker lock(&m_mutex);
    m_requested = true;
    LOG_DEBUG(lc) << "SpeechFeedback::speakFromId(" << name << ")";
    emit speakAsync(request);
}

void SpeechFeedback::cancel()
{
    LOG_DEBUG(lc) << "Cancelling all speech-requests.";
    emit cancelAsync();
}

bool SpeechFeedback::waitUntilDone()
{
    LOG_DEBUG(lc) << "Waiting for all speech-requests to complete.";
    if (!m_requested) {
        return true;
    }
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool timedOut = false;
    connect(&m_speech, &libspeech::detail::Speech::queueEmpty, &loop, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, &loop, [&]() {
        timedOut = true;
        loop.quit();
    });
    m_waiting = true;
    limit.start(m_waitLimit);
    loop.exec();
    m_waiting = false;
    if (timedOut) {
        LOG_FAILED(lc) << "Timeout waiting for speech-completion.";
        return false;
    }
    return true;
}

bool SpeechFeedback::speakPower(int power, const QString& text)
{
    using libtranslation::Sid::EmbosserCore;
    switch (power) {
    case 0:
        cancel();
        speakFromId(EmbosserCore::PowerDown);
        waitUntilDone();
        return true;
    case 1:
        cancel();
        speakFromId(EmbosserCore::PowerUp);
        return true;
    case 2:
        cancel();
        speakFromId(EmbosserCore::PowerUpMessage, { text });
        return true;
    default:
        return false;
    }
}

} // namespace detail
