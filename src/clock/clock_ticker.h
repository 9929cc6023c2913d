#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

// Tells a clock when to redraw: on every whole second when it shows seconds, else on every whole
// minute, so the minute changes exactly on the minute. Each tick carries the instant to show (the
// frozen one when the clocks are frozen).
class ClockTicker : public QObject
{
    Q_OBJECT
public:
    explicit ClockTicker(bool seconds, QObject* parent = nullptr);

    void setSeconds(bool seconds);
    double step() const { return m_seconds ? 1.0 : 60.0; }
    // The first aligned moment strictly after `now`.
    QDateTime nextTick(const QDateTime& now) const;

signals:
    void tick(const QDateTime& date);

private:
    void schedule();
    bool m_seconds;
    QTimer m_timer;
};
