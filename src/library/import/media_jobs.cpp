#include "library/import/media_jobs.h"

#include <atomic>

namespace MediaJobs {

namespace {

std::atomic<bool> stopping{false};

void stopWithApplication()
{
    // Both: aboutToQuit comes while the whole application still stands, the post routine covers
    // processes whose event loop never ran.
    qAddPostRoutine(&MediaJobs::shutDown);
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, &MediaJobs::shutDown);
}

} // namespace

QThreadPool& pool()
{
    static QThreadPool jobs;
    static const bool configured = [] {
        jobs.setMaxThreadCount(2);
        jobs.setObjectName(QStringLiteral("Paneflow.convert"));
        stopWithApplication();
        return true;
    }();
    Q_UNUSED(configured);
    return jobs;
}

bool isStopping() { return stopping.load(); }

std::shared_ptr<CancelFlag> stopFlag()
{
    static const auto flag = std::make_shared<CancelFlag>();
    return flag;
}

void shutDown()
{
    // Queued jobs go before running ones learn of the stop, so a job that ends on it frees no
    // worker for a queued one.
    pool().clear();
    stopping.store(true);
    stopFlag()->cancel();
    pool().waitForDone();
}

void start(std::function<void()> task)
{
    if (!isStopping())
        pool().start(std::move(task));
}

} // namespace MediaJobs
