#pragma once

#include "clock/clock_enums.h"

#include <QObject>

// The app-wide 12/24-hour choice. Every clock observes it, so changing it redraws them all.
class ClockHours : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ClockTimeFormat format READ format WRITE setFormat NOTIFY formatChanged)
public:
    static ClockHours& shared();

    ClockTimeFormat format() const { return m_format; }
    void setFormat(ClockTimeFormat format);
    bool uses24Hour() const { return is24Hour(m_format); }

    // The current locale's preference: its pattern for the hour skeleton "j" has no day period.
    static bool systemUses24Hour();

signals:
    void formatChanged(ClockTimeFormat format);

private:
    ClockHours() = default;
    ClockTimeFormat m_format = ClockTimeFormat::mac;
};
