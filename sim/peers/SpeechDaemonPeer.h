#pragma once

#include "PeerObject.h"

#include <QQueue>
#include <QTimer>
#include <QVariantMap>

// The speech daemon: plays its queue one item after the other, 300 ms a sentence and 100 ms a
// tone, records each request and each item when it is done, and emits queueEmpty when the last
// item ends. cancelAll drops the queue without a queueEmpty.
class SpeechDaemonPeer : public PeerObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.SpeechManager")
public:
    static constexpr int sentenceMs = 300;
    static constexpr int toneMs = 100;

    SpeechDaemonPeer(const QString& root, QObject* parent = nullptr);

public slots:
    void speakFromId(const QVariantMap& request);
    void file(const QString& path);
    void cancelAll();

signals:
    void queueEmpty();

private:
    struct Item {
        QStringList done; // what is recorded when it has been played
        int milliseconds;
    };
    void enqueue(const Item& item);
    void playNext();
    void finished();

    QQueue<Item> m_queue;
    QTimer m_timer;
    bool m_playing = false;
};
