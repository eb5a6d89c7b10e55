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

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
}
