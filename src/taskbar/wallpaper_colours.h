#pragma once

#include <QtGlobal>

#include <optional>

// What the bar needs to know about one display's wallpaper: its accent colour, if it has one.
struct WallpaperColours
{
    std::optional<quint32> accent; // 0xRRGGBB

    bool operator==(const WallpaperColours&) const = default;
};
