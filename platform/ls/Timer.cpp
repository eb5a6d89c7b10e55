#include "Timer.h"

#include "libcorvane/LogPrefix.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {
CM_LOGGING_CATEGORY(lc, "Timer")

QBasicMutex spansMutex;

QHash<QString, QElapsedTimer>& spans()
{
    // Never destroyed, so a span may end during static destruction.
    static auto* table = new QHash<QString, QElapsedTimer>();
    return *table;
}
} // namespace

namespace ls {

void Timer::start(const QString& name)
{
    QElapsedTimer timer;
    timer.start();
    QMutexLocker lock(&spansMutex);
    spans().insert(name, timer);
}

qint64 Timer::finish(const QString& name)
{
    qint64 elapsed = -1;
    {
        QMutexLocker lock(&spansMutex);
        const auto it = spans().constFind(name);
        if (it != spans().constEnd()) {
            elapsed = it.value().elapsed();
            spans().erase(it);
        }
    }
    if (elapsed < 0) {
        LOG_WARN(lc) << "timer" << name << "was not started";
        return -1;
    }
    LOG_DEBUG(lc) << name << "took" << elapsed << "ms";
    return elapsed;
}

} // namespace ls
