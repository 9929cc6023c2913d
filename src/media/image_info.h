#pragma once

#include <QSize>
#include <QString>

#include <optional>

// Facts about a picture file, read by content (a wrong extension does not fool them).
namespace ImageInfo {

// Pixel size as shown; nullopt when the file cannot be read as a picture.
std::optional<QSize> size(const QString& path);
// Whether the picture is a HEIC carrying time-of-day or light/dark frames.
bool isDynamic(const QString& path);

} // namespace ImageInfo
