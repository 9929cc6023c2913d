#pragma once

#include "brand/edge_brightness.h"

#include <QString>

#include <optional>

// What the bar needs to know about one display's wallpaper: its accent colour, if it has one, and
// how bright it is along each edge.
struct WallpaperColours
{
    std::optional<quint32> accent; // 0xRRGGBB
    EdgeBrightness edges;

    // From the wallpaper's thumbnail; nullopt when the picture cannot be loaded or measured.
    static std::optional<WallpaperColours> fromThumbnail(const QString& path);

    bool operator==(const WallpaperColours&) const = default;
};
