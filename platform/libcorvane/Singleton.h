#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace libcorvane {

// One process-wide instance of T, created under a mutex on first use and never destroyed, so it
// survives the in-process restart of the service and is safe to use during static destruction.
// A QObject made here lives in the thread that asked first.
template <typename T> class Singleton {
public:
    Singleton() = delete;

    static T& instance()
    {
        T* object = s_instance.load(std::memory_order_acquire);
        if (!object) {
            QMutexLocker lock(&s_mutex);
            object = s_instance.load(std::memory_order_relaxed);
            if (!object) {
                object = new T();
                s_instance.store(object, std::memory_order_release);
            }
        }
        return *object;
    }

private:
    static inline std::atomic<T*> s_instance { nullptr };
    // QBasicMutex needs no constructor, so it is usable before main and never torn down.
    static inline QBasicMutex s_mutex;
};

} // namespace libcorvane
