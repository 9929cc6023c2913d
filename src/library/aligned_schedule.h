#pragma once

#include <QDateTime>

// Moments on whole multiples of a step (counted from 2001-01-01 UTC), for texts that show the
// time: with a 60-second step they fall on whole minutes.
struct AlignedSchedule
{
    double step = 60.0;

    class Entries
    {
    public:
        Entries(double first, double step) : m_next(first), m_step(step) {}
        QDateTime next();

    private:
        double m_next;
        double m_step;
    };

    // The first entry is the aligned moment at or before `start`; each next one adds a step.
    Entries entries(const QDateTime& start) const;
};
