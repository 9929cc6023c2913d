#pragma once

#include "media/cancel_flag.h"

#include <QImage>
#include <QString>

#include <optional>

// Small PNG stills of wallpapers, so pages and menus never decode the media itself.
// Every call blocks on the files: run it from a worker. Safe from any thread.
namespace Thumbnailer {

inline constexpr int defaultMaxWidth = 1024;

struct Result
{
    bool ok = false;
    QString error; // why it failed (for the log)
    static Result success() { return {true, {}}; }
    static Result failure(const QString& error) { return {false, error}; }
};

// The first frame at or after the start, upright, at most maxWidth on its longer side. Reads give
// up once `cancel` is set; `error` says why there is no frame.
std::optional<QImage> videoFrame(const QString& video, int maxWidth = defaultMaxWidth, const CancelFlag* cancel = nullptr,
                                 QString* error = nullptr);
// Image `index` of a picture file, orientation applied, longer side at most maxPixels.
std::optional<QImage> image(const QString& picture, int maxPixels, int index = 0);

// Both write the PNG atomically: a failure leaves no file (and an older thumbnail untouched).
Result writeVideo(const QString& video, const QString& to, int maxWidth = defaultMaxWidth, const CancelFlag* cancel = nullptr);
Result writePicture(const QString& picture, const QString& to, int maxWidth = defaultMaxWidth);

// Writes a PNG atomically, making the folder when needed.
Result savePng(const QImage& image, const QString& to);

} // namespace Thumbnailer
