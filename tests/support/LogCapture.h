#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Captures the messages of Qt's logging while it lives (from any thread), so a test can assert
// the lines the service logs. Messages still reach the previous handler.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();

    QStringList messages() const;
    bool contains(const QString& text) const { return count(text) > 0; }
    int count(const QString& text) const { return messages().filter(text).size(); }
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    mutable QMutex m_mutex;
    QStringList m_messages;
    QtMessageHandler m_previous = nullptr;
};
