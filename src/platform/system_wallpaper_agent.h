#pragma once

#include <QString>

// The system's own wallpaper service: the entries file it ships with, and how to make it read its
// store again.
namespace SystemWallpaperAgent {
QString bundledEntriesPath();
// Ends the agent so the system starts it afresh and it re-reads the store; waits up to ten seconds.
void restart();
} // namespace SystemWallpaperAgent
