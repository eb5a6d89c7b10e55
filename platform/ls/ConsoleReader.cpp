#include "ConsoleReader.h"

#include "libcorvane/LogPrefix.h"

#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <fcntl.h>

namespace {
CM_LOGGING_CATEGORY(lc, "ConsoleReader")

// A line longer than this is delivered in pieces rather than buffered without bound.
constexpr int maxLineLength = 64 * 1024;
} // namespace

namespace ls {

ConsoleReader::ConsoleReader(QObject* parent, int fd)
    : QObject(parent)
    , m_fd(fd)
{
    if (::fcntl(m_fd, F_GETFD) < 0) {
        LOG_INFO(lc) << "no console input (descriptor" << m_fd << "is not open)";
        return;
    }
    if (::isatty(m_fd) && ::tcgetpgrp(m_fd) != ::getpgrp()) {
        LOG_INFO(lc) << "console is not in the foreground; not reading it";
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConsoleReader::onReadable);
}

ConsoleReader::~ConsoleReader() = default;

bool ConsoleReader::isActive() const
{
    return m_notifier && m_notifier->isEnabled();
}

void ConsoleReader::onReadable()
{
    // The notifier reported data (or end of input), so one read does not block.
    char buffer[4096];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count < 0) {
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        }
        LOG_ERROR(lc) << "reading the console failed:" << qt_error_string(errno);
        stop();
        return;
    }
    if (count == 0) {
        if (!m_pending.isEmpty()) {
            emitLine(m_pending);
            m_pending.clear();
        }
        stop();
        return;
    }
    m_pending.append(buffer, static_cast<int>(count));
    int newline;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(newline);
        m_pending.remove(0, newline + 1);
        emitLine(line);
    }
    while (m_pending.size() > maxLineLength) {
        emitLine(m_pending.left(maxLineLength));
        m_pending.remove(0, maxLineLength);
    }
}

void ConsoleReader::stop()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    emit finished();
}

void ConsoleReader::emitLine(QByteArray line)
{
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    emit textReceived(QString::fromUtf8(line));
}

} // namespace ls
