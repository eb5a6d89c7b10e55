#include "SpeechDaemonPeer.h"

#include <QFileInfo>

SpeechDaemonPeer::SpeechDaemonPeer(const QString& root, QObject* parent)
    : PeerObject("speech-daemon", root, parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SpeechDaemonPeer::finished);
}

void SpeechDaemonPeer::speakFromId(const QVariantMap& request)
{
    bool serviceOk = false;
    bool sentenceOk = false;
    const int service = request.value("serviceId").toInt(&serviceOk);
    const int sentence = request.value("sentenceId").toInt(&sentenceOk);
    const QStringList arguments = request.value("arguments").toStringList();
    record(QStringList { "speakFromId", request.value("serviceId").toString(), request.value("sentenceId").toString() }
        + arguments);
    if (!serviceOk || !sentenceOk || (service != 0 && service != 1)) {
        sendErrorReply(QDBusError::InvalidArgs, "serviceId 0 or 1 and sentenceId are required");
        return;
    }
    enqueue({ QStringList { "spoken", QString::number(service), QString::number(sentence) } + arguments, sentenceMs });
}

void SpeechDaemonPeer::file(const QString& path)
{
    record({ "file", path });
    if (!QFileInfo(machinePathUnderRoot(path)).isFile()) {
        record({ "missing", path });
        return;
    }
    enqueue({ { "played", path }, toneMs });
}

void SpeechDaemonPeer::cancelAll()
{
    record({ "cancelAll" });
    m_queue.clear();
    m_timer.stop();
    m_playing = false;
}

void SpeechDaemonPeer::enqueue(const Item& item)
{
    m_queue.enqueue(item);
    if (!m_playing) {
        playNext();
    }
}

void SpeechDaemonPeer::playNext()
{
    m_playing = true;
    m_timer.start(m_queue.head().milliseconds);
}

void SpeechDaemonPeer::finished()
{
    record(m_queue.dequeue().done);
    if (!m_queue.isEmpty()) {
        playNext();
        return;
    }
    m_playing = false;
    emit queueEmpty();
}
