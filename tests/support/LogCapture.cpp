#include "LogCapture.h"

namespace {
LogCapture* activeCapture = nullptr;
}

LogCapture::LogCapture()
{
    activeCapture = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    activeCapture = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (activeCapture) {
        QMutexLocker lock(&activeCapture->m_mutex);
        activeCapture->m_messages.append(message);
        if (activeCapture->m_previous) {
            activeCapture->m_previous(type, context, message);
        }
    }
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

bool LogCapture::contains(const QString& text) const
{
    return count(text) > 0;
}

int LogCapture::count(const QString& text) const
{
    QMutexLocker lock(&m_mutex);
    int found = 0;
    for (const QString& message : m_messages) {
        if (message.contains(text)) {
            ++found;
        }
    }
    return found;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
}
