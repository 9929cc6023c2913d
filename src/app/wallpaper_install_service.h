#pragma once

#include "app/install_service.h"

// Gives the user's own wallpaper back through the system wallpaper store when the live-wallpaper
// part is turned off or everything is turned off before leaving.
class WallpaperInstallService : public InstallService
{
public:
    void giveBackWallpaper(std::function<void()> done) override;
};
