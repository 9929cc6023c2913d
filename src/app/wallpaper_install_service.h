#pragma once

#include "app/install_service.h"

// Knows whether the app runs from the right place, and gives the user's own wallpaper back through the system wallpaper store when the live-wallpaper
// part is turned off or everything is turned off before leaving.
class WallpaperInstallService : public InstallService
{
public:
    // An app image outside the applications folder must move first.
    bool mustMove() const override;
    void giveBackWallpaper(std::function<void()> done) override;
};
