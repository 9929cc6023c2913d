#include "wallpaper/store_pause_settings.h"

#include "library/library_store.h"

StorePauseSettings::StorePauseSettings(LibraryStore& store, QObject* parent)
    : PauseSettings(parent)
    , m_store(store)
{
    connect(&m_store.switches(), &LibrarySwitches::changed, this, [this](LibrarySwitch which) {
        switch (which) {
        case LibrarySwitch::pauseOnBattery:
            emit pauseOnBatteryChanged();
            break;
        case LibrarySwitch::pauseOnLowPower:
            emit pauseOnLowPowerChanged();
            break;
        case LibrarySwitch::pauseOnFullScreen:
            emit pauseOnFullScreenChanged();
            break;
        case LibrarySwitch::pauseOnHighCPU:
            emit pauseOnHighCPUChanged();
            break;
        case LibrarySwitch::pauseOnThermal:
            emit pauseOnThermalChanged();
            break;
        default:
            break;
        }
    });
}

bool StorePauseSettings::pauseOnBattery() const
{
    return m_store.switches().on(LibrarySwitch::pauseOnBattery);
}

bool StorePauseSettings::pauseOnLowPower() const
{
    return m_store.switches().on(LibrarySwitch::pauseOnLowPower);
}

bool StorePauseSettings::pauseOnFullScreen() const
{
    return m_store.switches().on(LibrarySwitch::pauseOnFullScreen);
}

bool StorePauseSettings::pauseOnHighCPU() const
{
    return m_store.switches().on(LibrarySwitch::pauseOnHighCPU);
}

bool StorePauseSettings::pauseOnThermal() const
{
    return m_store.switches().on(LibrarySwitch::pauseOnThermal);
}
