#pragma once

#include <QString>

#include <functional>
#include <optional>

class Defaults;
class LibraryStore;

// The live wallpaper's state as the menu's header tells it.
struct MenuStatus
{
    bool hasWallpaper = false;
    bool userPaused = false;
    std::optional<QString> playbackStatus; // set by the live-wallpaper part when it stopped by itself
    bool lockScreenEnabled = false;
    bool lockScreenTaken = false;
    bool lockScreenFailed = false;
    bool wallpaperStoreSetUp = false;

    // The header's status line; the first case that holds wins.
    QString text() const;
    // Whether the line asks for attention: the wallpaper stopped for a reason of its own.
    bool attention() const { return !userPaused && playbackStatus.has_value(); }

    // On a secondary display: the line up to its first " · ", then what that display shows.
    static QString forDisplay(const QString& status, bool onMain, bool followsMain);

    // From the library store (the live-wallpaper part, the control app's preview).
    static MenuStatus of(const LibraryStore& store, bool wallpaperStoreSetUp);
    // From the live-wallpaper part's settings, for processes that do not run the store.
    static MenuStatus of(Defaults& paneflow, bool wallpaperStoreSetUp);

    // Asks the desktop whether its wallpaper store is set up, at most every few seconds.
    static std::function<bool()> wallpaperStoreCheck();
};
