#pragma once

#include <QString>

// The system's own wallpaper service: the entries file it ships with, and how to make it read its
// store again.
namespace SystemWallpaperAgent {
// Empty where the system ships none.
QString bundledEntriesPath();
// Makes the service read the store again (waits up to ten seconds); nothing where no service
// caches it.
void restart();
} // namespace SystemWallpaperAgent
