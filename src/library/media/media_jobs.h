#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>
#include <utility>

// Media work off the main thread: jobs run on a small pool of their own (x265 already uses every
// core, so more parallel jobs would only thrash) and hand results back to the main thread.
namespace MediaJobs {

QThreadPool& pool();

// Calls `call` on the thread of `context`, unless the context is gone by then.
inline void onMain(QObject* context, std::function<void()> call)
{
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

// Runs `work` on the pool, then `done(result)` on the thread of `context`.
template<typename Work, typename Done>
void run(QObject* context, Work work, Done done)
{
    QPointer<QObject> guard(context);
    pool().start([guard, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        if (guard)
            QMetaObject::invokeMethod(
                guard.data(), [done = std::move(done), result = std::move(result)]() mutable { done(std::move(result)); },
                Qt::QueuedConnection);
    });
}

// Blocks until every queued media job has finished (tests and shutdown).
inline void waitForAll() { pool().waitForDone(); }

} // namespace MediaJobs
