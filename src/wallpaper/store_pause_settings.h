#pragma once

#include "wallpaper/pause_settings.h"

class LibraryStore;

// The pause switches of a library store, for the pause rules.
class StorePauseSettings : public PauseSettings
{
    Q_OBJECT
public:
    explicit StorePauseSettings(LibraryStore& store, QObject* parent = nullptr);

    bool pauseOnBattery() const override;
    bool pauseOnLowPower() const override;
    bool pauseOnFullScreen() const override;
    bool pauseOnHighCPU() const override;
    bool pauseOnThermal() const override;

private:
    LibraryStore& m_store;
};
