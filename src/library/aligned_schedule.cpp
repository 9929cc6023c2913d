#include "library/aligned_schedule.h"

#include "core/record_json.h"

#include <cmath>

QDateTime AlignedSchedule::Entries::next()
{
    const QDateTime moment = RecordJson::dateFrom2001(m_next).toLocalTime();
    m_next += m_step;
    return moment;
}

AlignedSchedule::Entries AlignedSchedule::entries(const QDateTime& start) const
{
    const double usable = step > 0 && std::isfinite(step) ? step : 60.0;
    const double seconds = RecordJson::secondsSince2001(start);
    return Entries(usable * std::floor(seconds / usable), usable);
}
