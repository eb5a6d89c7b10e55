#pragma once

#include "PeerClient.h"

#include <QVariantMap>

namespace libspeech {
namespace detail {

    // Client of the speech daemon (ls::ServiceId::SpeechManager): requests are sent without waiting
    // for the daemon, which plays them one after the other and reports `queueEmpty` when it has
    // nothing left to say.
    class Speech : public peers::PeerClient {
        Q_OBJECT
    public:
        explicit Speech(QObject* parent = nullptr);

    public slots:
        // {"serviceId": int, "sentenceId": int, "arguments": QStringList (optional)}
        void speakFromId(const QVariantMap& request);
        // Plays a sound file of the embosser (a machine path).
        void file(const QString& path);
        void cancelAll();

    signals:
        void queueEmpty();
    };

} // namespace detail
} // namespace libspeech
