#pragma once

#include <QObject>

// The switches of the pause rules, as the library store keeps them. Each change signal fires
// once per real change.
class PauseSettings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~PauseSettings() override = default;

    virtual bool pauseOnBattery() const = 0;
    virtual bool pauseOnLowPower() const = 0;
    virtual bool pauseOnFullScreen() const = 0;
    virtual bool pauseOnHighCPU() const = 0;
    virtual bool pauseOnThermal() const = 0;

signals:
    void pauseOnBatteryChanged();
    void pauseOnLowPowerChanged();
    void pauseOnFullScreenChanged();
    void pauseOnHighCPUChanged();
    void pauseOnThermalChanged();
};
