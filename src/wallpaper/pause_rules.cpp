#include "wallpaper/pause_rules.h"

#include "platform/desktop_words.h"
#include "platform/power.h"
#include "wallpaper/pause_settings.h"

#include <QCoreApplication>

PauseRules::Sensors PauseRules::Sensors::system()
{
    return {&Power::system(), &Machine::system(), &WindowList::system()};
}

PauseRules::PauseRules(PauseSettings& settings, Sensors sensors, std::function<void()> onChange, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_sensors(sensors)
    , m_onChange(std::move(onChange))
{
    m_timer.setInterval(pollIntervalMs);
    // A second of slack is fine: these are coarse readings.
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PauseRules::poll);

    connect(m_sensors.power, &Power::lowPowerModeChanged, this, &PauseRules::changed);
    connect(m_sensors.machine, &Machine::thermalStateChanged, this, &PauseRules::changed);
    connect(m_sensors.windows, &WindowList::spaceChanged, this, &PauseRules::poll);
    connect(m_sensors.windows, &WindowList::appActivated, this, &PauseRules::poll);

    connect(&m_settings, &PauseSettings::pauseOnFullScreenChanged, this, &PauseRules::updatePolling);
    connect(&m_settings, &PauseSettings::pauseOnHighCPUChanged, this, &PauseRules::updatePolling);
    connect(&m_settings, &PauseSettings::pauseOnLowPowerChanged, this, &PauseRules::changed);
    connect(&m_settings, &PauseSettings::pauseOnThermalChanged, this, &PauseRules::changed);
    connect(&m_settings, &PauseSettings::pauseOnBatteryChanged, this, &PauseRules::changed);

    connect(m_sensors.power, &Power::powerSourceChanged, this, &PauseRules::readPowerSource);
    m_onBattery = m_sensors.power->onBattery();

    updatePolling();
}

std::optional<QString> PauseRules::pauseReason() const
{
    if (m_settings.pauseOnBattery() && m_onBattery)
        return QStringLiteral("on battery");
    if (m_settings.pauseOnLowPower() && m_sensors.power->lowPowerMode())
        return QStringLiteral("Low Power Mode");
    if (m_settings.pauseOnThermal() && m_sensors.machine->thermalState() >= ThermalState::serious)
        return DesktopWords::current().fill(u"{Computer} is hot");
    if (m_settings.pauseOnHighCPU() && m_busy)
        return DesktopWords::current().fill(u"{Computer} is busy");
    return std::nullopt;
}

bool PauseRules::fullScreen(const QSet<quint32>& displays) const
{
    if (!m_settings.pauseOnFullScreen() || displays.isEmpty())
        return false;
    for (quint32 id : displays) {
        if (!m_fullScreenDisplays.contains(id))
            return false;
    }
    return true;
}

void PauseRules::setIdle(bool idle)
{
    if (idle == m_idle)
        return;
    m_idle = idle;
    forgetLoad();
    if (!idle)
        QMetaObject::invokeMethod(this, &PauseRules::poll, Qt::QueuedConnection);
}

void PauseRules::readPowerSource()
{
    const bool onBattery = m_sensors.power->onBattery();
    if (onBattery == m_onBattery)
        return;
    m_onBattery = onBattery;
    changed();
}

void PauseRules::updatePolling()
{
    const bool watchFullScreen = m_settings.pauseOnFullScreen();
    const bool watchLoad = m_settings.pauseOnHighCPU();
    // A rule that was switched off must not leave its last finding behind: the wallpaper would
    // stay paused for a reason nobody watches any more, or resume on a stale count later.
    bool cleared = false;
    if (!watchFullScreen && !m_fullScreenDisplays.isEmpty()) {
        m_fullScreenDisplays.clear();
        m_coveredAreas.clear();
        cleared = true;
    }
    if (!watchLoad) {
        cleared = std::exchange(m_busy, false) || cleared;
        forgetLoad();
    }
    if (!watchFullScreen && !watchLoad) {
        m_timer.stop();
        if (cleared)
            changed();
        return;
    }
    if (cleared)
        changed();
    if (!m_timer.isActive())
        m_timer.start();
    poll();
}

void PauseRules::poll()
{
    if (m_idle)
        return;

    QSet<quint32> displays;
    QList<QRect> areas;
    if (m_settings.pauseOnFullScreen()) {
        const QList<DisplayArea> all = m_sensors.windows->displays();
        displays = coveredDisplays(m_sensors.windows->onScreenWindows(), all, QCoreApplication::applicationPid());
        for (const DisplayArea& display : all)
            if (displays.contains(display.id))
                areas.append(display.bounds.toAlignedRect());
    }
    const bool fullScreenChanged = displays != m_fullScreenDisplays || areas != m_coveredAreas;
    if (fullScreenChanged) {
        m_fullScreenDisplays = displays;
        m_coveredAreas = areas;
    }

    if (m_settings.pauseOnHighCPU()) {
        if (const auto load = cpuLoad(*m_sensors.machine, m_lastLoad)) {
            m_busySamples = *load >= busyLoad ? m_busySamples + 1 : 0;
            const bool busy = m_busy ? *load >= calmLoad : m_busySamples >= 2;
            if (busy != m_busy) {
                m_busy = busy;
                changed();
                return;
            }
        }
    }
    if (fullScreenChanged)
        changed();
}

std::optional<double> PauseRules::cpuLoad(Machine& machine, std::optional<CpuTicks>& last)
{
    const auto now = machine.cpuTicks();
    if (!now)
        return std::nullopt;
    const auto earlier = std::exchange(last, now);
    if (!earlier)
        return std::nullopt;
    return loadBetween(*earlier, *now);
}

std::optional<double> PauseRules::loadBetween(const CpuTicks& earlier, const CpuTicks& later)
{
    // Unsigned subtraction wraps, so a counter that rolled over still gives the right difference.
    const quint32 user = later.user - earlier.user;
    const quint32 system = later.system - earlier.system;
    const quint32 idle = later.idle - earlier.idle;
    const quint32 nice = later.nice - earlier.nice;
    const double total = double(user) + double(system) + double(idle) + double(nice);
    if (total <= 0)
        return std::nullopt;
    return (double(user) + double(system) + double(nice)) / total;
}

QSet<quint32> PauseRules::coveredDisplays(const QList<WindowInfo>& windows, const QList<DisplayArea>& displays,
                                          qint64 ownPid)
{
    QSet<quint32> covered;
    for (const WindowInfo& w : windows) {
        if (w.layer != WindowLayer::normal || w.ownerPid == ownPid || w.alpha <= 0.01 || !w.bounds)
            continue;
        // One point of slack on every side: full-screen windows are sometimes off by a fraction.
        const QRectF grown = w.bounds->adjusted(-1, -1, 1, 1);
        for (const DisplayArea& d : displays) {
            if (grown.contains(d.bounds))
                covered.insert(d.id);
        }
    }
    return covered;
}

void PauseRules::forgetLoad()
{
    m_lastLoad.reset();
    m_busySamples = 0;
}

void PauseRules::changed()
{
    if (m_onChange)
        m_onChange();
}
