#pragma once

#include <QThread>

// The thread the error handler lives in: its run() creates the detail::ErrorHandler singleton
// there (on first use) and runs the thread's event loop, so that answers to errors arrive while
// the main thread waits for them.
class ErrorHandlerThread : public QThread {
    Q_OBJECT
public:
    using QThread::QThread;

    // Starts one more thread (without parent, never stopped); the singleton is created once.
    static void launch();
    // True once some thread has created the error handler singleton.
    static bool isHandlerCreated();

protected:
    void run() override;
};
