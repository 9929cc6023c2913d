#pragma once

#include "platform/machine.h"
#include "platform/window_list.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class PauseSettings;
class Power;

// Watches the machine and says whether, and why, the live wallpaper should pause now.
//
// Battery, Low Power Mode and heat come from change signals; full-screen windows and processor
// load are polled every 3 seconds, and only while one of those two rules is on. Main thread only.
class PauseRules : public QObject
{
    Q_OBJECT
public:
    struct Sensors
    {
        Power* power = nullptr;
        Machine* machine = nullptr;
        WindowList* windows = nullptr;
        static Sensors system();
    };

    static constexpr int pollIntervalMs = 3000;
    // Two samples in a row at or above this load make the machine busy...
    static constexpr double busyLoad = 0.8;
    // ...and it stays busy until a sample falls below this one.
    static constexpr double calmLoad = 0.6;

    PauseRules(PauseSettings& settings, Sensors sensors, std::function<void()> onChange, QObject* parent = nullptr);

    // The first rule that holds, in a fixed order; none when the wallpaper may play.
    std::optional<QString> pauseReason() const;
    // Whether every one of the given displays is covered by another app's full-screen window.
    bool fullScreen(const QSet<quint32>& displays) const;
    // The part reports that nothing plays (true) or that playing starts again (false).
    void setIdle(bool idle);

    // One look at the windows and the processor; the timer and workspace changes call it.
    void poll();

    bool isPolling() const { return m_timer.isActive(); }
    bool isBusy() const { return m_busy; }
    bool onBattery() const { return m_onBattery; }
    QSet<quint32> fullScreenDisplays() const { return m_fullScreenDisplays; }
    // Where those displays are on the whole desktop.
    QList<QRect> coveredAreas() const { return m_coveredAreas; }

    // The share of processor time spent working since `last`; none the first time (it only
    // records the counts) and when the counts cannot be read.
    static std::optional<double> cpuLoad(Machine& machine, std::optional<CpuTicks>& last);
    static std::optional<double> loadBetween(const CpuTicks& earlier, const CpuTicks& later);

    // Displays whose whole area is covered by a qualifying window of another process.
    static QSet<quint32> coveredDisplays(const QList<WindowInfo>& windows,
                                         const QList<DisplayArea>& displays, qint64 ownPid);

private:
    void readPowerSource();
    void updatePolling();
    void forgetLoad();
    void changed();

    PauseSettings& m_settings;
    Sensors m_sensors;
    std::function<void()> m_onChange;
    QTimer m_timer;
    bool m_onBattery = false;
    QSet<quint32> m_fullScreenDisplays;
    QList<QRect> m_coveredAreas;
    bool m_busy = false;
    std::optional<CpuTicks> m_lastLoad;
    int m_busySamples = 0;
    bool m_idle = false;
};
