#pragma once

#include <QObject>

#include <memory>
#include <optional>

// Where the machine's power comes from and whether the user asked to save it.
//
// Readings are cheap (the backend keeps them current from change signals), so callers may read
// them as often as they like. The change signals are delivered on the main thread.
class Power : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Power() override = default;

    // The machine's own power state, made on first use on the main thread.
    static Power& system();

    // Running from a battery rather than from the mains.
    virtual bool onBattery() const = 0;
    // Charge of the battery in percent, when the machine has a battery.
    virtual std::optional<int> batteryPercent() const = 0;
    // The user asked the machine to save power (Low Power Mode).
    virtual bool lowPowerMode() const = 0;

    static std::unique_ptr<Power> makeSystem();

signals:
    // On battery or the battery level changed.
    void powerSourceChanged();
    void lowPowerModeChanged();
};
