#pragma once

#include "media/lock_screen_video.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <utility>

// Media work off the main thread: jobs run on a small pool of their own (x265 already uses every
// core, so more parallel jobs would only thrash) and hand results back to the main thread.
//
// The pool never outlives the application: when the event loop ends (or the application object
// goes, whichever comes first) queued jobs are dropped, running conversions are cancelled and the
// running jobs are waited for. A job still writing a PNG while the image plugins are torn down at
// exit would crash the process.
namespace MediaJobs {

QThreadPool& pool();

// True once the process has started leaving; long jobs stop between steps.
bool isStopping();
// The cancel flag every conversion is given; set when the process leaves.
std::shared_ptr<CancelFlag> stopFlag();
// Drops queued jobs, cancels conversions and waits for the running jobs. Nothing starts after it.
void shutDown();

// Starts `task` on the pool unless the process is leaving.
void start(std::function<void()> task);

// Calls `call` on the main thread unless `context` is gone by then. The guard is only read on
// the main thread, where contexts are deleted, so a worker never touches a context that a
// concurrent delete is tearing down.
template<typename T, typename Call>
void onMain(const QPointer<T>& context, Call call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [context, call = std::move(call)]() mutable {
            if (context)
                call();
        },
        Qt::QueuedConnection);
}

// Runs `work` on the pool, then `done(result)` on the main thread if `context` still exists.
template<typename Work, typename Done>
void run(QObject* context, Work work, Done done)
{
    QPointer<QObject> guard(context);
    start([guard, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        onMain(guard, [done = std::move(done), result = std::move(result)]() mutable { done(std::move(result)); });
    });
}

// Blocks until every queued media job has finished (tests and shutdown).
inline void waitForAll() { pool().waitForDone(); }

} // namespace MediaJobs
