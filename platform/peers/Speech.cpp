#include "Speech.h"

#include "ls/ServiceId.h"

namespace libspeech {
namespace detail {

    Speech::Speech(QObject* parent)
        : PeerClient(ls::ServiceId::SpeechManager, parent)
    {
        connectPeerSignal(QStringLiteral("queueEmpty"), SIGNAL(queueEmpty()));
    }

    void Speech::speakFromId(const QVariantMap& request)
    {
        send(QStringLiteral("speakFromId"), { request });
    }

    void Speech::file(const QString& path)
    {
        send(QStringLiteral("file"), { path });
    }

    void Speech::cancelAll()
    {
        send(QStringLiteral("cancelAll"));
    }

} // namespace detail
} // namespace libspeech
