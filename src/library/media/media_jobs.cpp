#include "library/media/media_jobs.h"

namespace MediaJobs {

QThreadPool& pool()
{
    static QThreadPool jobs;
    static const bool configured = [] {
        jobs.setMaxThreadCount(2);
        jobs.setObjectName(QStringLiteral("Paneflow.convert"));
        return true;
    }();
    Q_UNUSED(configured);
    return jobs;
}

} // namespace MediaJobs
