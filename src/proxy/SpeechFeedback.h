#pragma once

#include "peers/Sid.h"

#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace libspeech::detail {
class Speech;
}

namespace detail {

// Spoken feedback and tones through the speech daemon. Requests reach the daemon from the event
// loop of this object's thread, in the order they were made (the mutex keeps that order across
// threads). waitUntilDone() waits for the daemon's empty queue, at most waitLimit() ms.
class SpeechFeedback : public QObject {
    Q_OBJECT
public:
    enum Tone { Tone400 = 1, Tone800 = 2, Tone1000 = 3, Tone1200 = 4, Noise = 5 };
    static constexpr int defaultWaitLimit = 15000; // ms

    explicit SpeechFeedback(QObject* parent = nullptr);

    // False (and nothing sent) for a tone without a sound file.
    bool tone(Tone tone);
    void speakFromId(const libtranslation::Sid::EmbosserCore& sid, const QStringList& args = {});
    void speakFromId(const libtranslation::Sid::EmbosserError& sid, const QStringList& args = {});
    void cancel();
    // True at once when nothing was ever requested; false when the daemon did not report an
    // empty queue within waitLimit(). Runs a nested event loop meanwhile.
    bool waitUntilDone();

    // Power feedback of the direct D-Bus method: 1 and 2 speak, 0 speaks and waits until done;
    // any other power returns false and speaks nothing.
    bool speakPower(int power, const QString& text);

    bool isWaiting() const { return m_waiting; }
    int waitLimit() const { return m_waitLimit; }
    // Tests shorten the limit; the service keeps defaultWaitLimit.
    void setWaitLimit(int milliseconds) { m_waitLimit = milliseconds; }

signals:
    void cancelAsync();
    void fileAsync(const QString& path);
    void speakAsync(const QVariantMap& request);

private:
    void speak(int serviceId, int sentenceId, const char* sentenceName, const QStringList& args);

    bool m_requested = false;
    bool m_waiting = false;
    int m_waitLimit = defaultWaitLimit;
    QMutex m_mutex;
    libspeech::detail::Speech& m_speech;
};

} // namespace detail
