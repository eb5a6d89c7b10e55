#pragma once

#include <QByteArray>
#include <QObject>

#include <unistd.h>

class QSocketNotifier;

namespace ls {

// Reads the service's terminal line by line without blocking the event loop and emits one
// textReceived per line (without its line end; a last line without one is emitted at end of
// input). Reading stops for good at end of input, on a read error, or when the descriptor is
// not open; nothing is read from a terminal while the process is in the background, since that
// would stop it. The descriptor's flags are left alone (it is shared with the parent shell).
class ConsoleReader : public QObject {
    Q_OBJECT
public:
    // `fd` is the standard input in the service; tests pass a pipe.
    explicit ConsoleReader(QObject* parent = nullptr, int fd = STDIN_FILENO);
    ~ConsoleReader() override;

    // True while the reader waits for more input.
    bool isActive() const;

signals:
    void textReceived(const QString& text);
    // Input ended or failed; no more lines follow.
    void finished();

private slots:
    void onReadable();

private:
    void stop();
    void emitLine(QByteArray line);

    int m_fd;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};

} // namespace ls
