#pragma once

#include <QString>

// File types by name alone, the way the library decides what a dropped file is.
namespace MediaKind {

bool isVideo(const QString& path);
bool isImage(const QString& path);
inline bool isWallpaperFile(const QString& path) { return isVideo(path) || isImage(path); }

} // namespace MediaKind
