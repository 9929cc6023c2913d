#include "app/wallpaper_install_service.h"

#include "services/install.h"
#include "wallpaper/system_wallpaper.h"

void WallpaperInstallService::giveBackWallpaper(std::function<void()> done)
{
    SystemWallpaper::giveBack(nullptr, std::move(done));
}

bool WallpaperInstallService::mustMove() const
{
    return Install::needsMove();
}
