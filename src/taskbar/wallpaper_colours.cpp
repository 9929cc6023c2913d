#include "taskbar/wallpaper_colours.h"

#include "brand/brand_accent.h"

#include <QImageReader>

std::optional<WallpaperColours> WallpaperColours::fromThumbnail(const QString& path)
{
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    const std::optional<EdgeBrightness> edges = EdgeBrightness::fromImage(picture);
    if (!edges)
        return std::nullopt;
    return WallpaperColours {BrandAccent::pick(picture), *edges};
}
