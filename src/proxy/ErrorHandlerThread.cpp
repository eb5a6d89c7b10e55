#include "ErrorHandlerThread.h"

#include "ErrorHandler.h"
#include "libcorvane/Singleton.h"

#include <atomic>

namespace {
std::atomic<bool> created { false };
}

void ErrorHandlerThread::launch()
{
    auto* thread = new ErrorHandlerThread();
    thread->start(QThread::InheritPriority);
}

bool ErrorHandlerThread::isHandlerCreated()
{
    return created.load();
}

void ErrorHandlerThread::run()
{
    libcorvane::Singleton<detail::ErrorHandler>::instance();
    created.store(true);
    exec();
}
