#include "platform/system_wallpaper_agent.h"

// Linux desktops ship no wallpaper entries file and run no service that caches the entries: the
// desktop's own picture settings, which tell the desktop of every change themselves, are what it
// shows from.
QString SystemWallpaperAgent::bundledEntriesPath()
{
    return {};
}

void SystemWallpaperAgent::restart()
{
}
