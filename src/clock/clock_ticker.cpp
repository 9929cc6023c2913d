#include "clock/clock_ticker.h"

#include "clock/clock_view.h"
#include "library/aligned_schedule.h"

#include <algorithm>

ClockTicker::ClockTicker(bool seconds, QObject* parent)
    : QObject(parent)
    , m_seconds(seconds)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        emit tick(ClockView::currentDate());
        schedule();
    });
    schedule();
}

void ClockTicker::setSeconds(bool seconds)
{
    if (m_seconds == seconds)
        return;
    m_seconds = seconds;
    schedule();
}

QDateTime ClockTicker::nextTick(const QDateTime& now) const
{
    AlignedSchedule::Entries entries = AlignedSchedule{step()}.entries(now);
    QDateTime next = entries.next();
    while (next <= now)
        next = entries.next();
    return next;
}

void ClockTicker::schedule()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_timer.start(int(std::clamp<qint64>(now.msecsTo(nextTick(now)), 1, 60000)));
}
