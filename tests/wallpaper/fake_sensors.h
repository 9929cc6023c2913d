#pragma once

#include "platform/machine.h"
#include "platform/power.h"
#include "platform/window_list.h"
#include "wallpaper/pause_settings.h"

#include <QList>

#include <optional>

// Test doubles of the machine-sensing seams: tests set the readings and fire the signals.
class FakePower : public Power
{
public:
    bool battery = false;
    std::optional<int> percent;
    bool lowPower = false;

    bool onBattery() const override { return battery; }
    std::optional<int> batteryPercent() const override { return percent; }
    bool lowPowerMode() const override { return lowPower; }

    void setBattery(bool on)
    {
        battery = on;
        emit powerSourceChanged();
    }
    void setLowPower(bool on)
    {
        lowPower = on;
        emit lowPowerModeChanged();
    }
};

class FakeMachine : public Machine
{
public:
    std::optional<CpuTicks> ticks = CpuTicks {};
    std::optional<ProcessUsage> usage = ProcessUsage {};
    ThermalState thermal = ThermalState::nominal;
    int tickReads = 0;

    std::optional<CpuTicks> cpuTicks() override
    {
        ++tickReads;
        return ticks;
    }
    std::optional<ProcessUsage> processUsage() override { return usage; }
    ThermalState thermalState() override { return thermal; }

    // Moves the counters on by `total` ticks of which `load` was work.
    void advance(double load, quint32 total = 1000)
    {
        const auto busy = quint32(load * total + 0.5);
        ticks->user += busy;
        ticks->idle += total - busy;
    }
    void setThermal(ThermalState state)
    {
        thermal = state;
        emit thermalStateChanged();
    }
};

class FakeWindowList : public WindowList
{
public:
    QList<WindowInfo> windows;
    QList<DisplayArea> screens;

    QList<WindowInfo> onScreenWindows() override { return windows; }
    QList<DisplayArea> displays() override { return screens; }
    void activate() { emit appActivated(); }
};

class FakePauseSettings : public PauseSettings
{
public:
    bool battery = false, lowPower = false, fullScreen = false, highCPU = false, thermal = false;

    bool pauseOnBattery() const override { return battery; }
    bool pauseOnLowPower() const override { return lowPower; }
    bool pauseOnFullScreen() const override { return fullScreen; }
    bool pauseOnHighCPU() const override { return highCPU; }
    bool pauseOnThermal() const override { return thermal; }

    // Like the store: a value equal to the current one emits nothing.
    void setBattery(bool on) { set(battery, on, &PauseSettings::pauseOnBatteryChanged); }
    void setLowPower(bool on) { set(lowPower, on, &PauseSettings::pauseOnLowPowerChanged); }
    void setFullScreen(bool on) { set(fullScreen, on, &PauseSettings::pauseOnFullScreenChanged); }
    void setHighCPU(bool on) { set(highCPU, on, &PauseSettings::pauseOnHighCPUChanged); }
    void setThermal(bool on) { set(thermal, on, &PauseSettings::pauseOnThermalChanged); }

private:
    void set(bool& field, bool value, void (PauseSettings::*signal)())
    {
        if (field == value)
            return;
        field = value;
        emit(this->*signal)();
    }
};
