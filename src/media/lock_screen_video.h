#pragma once

#include "media/cancel_flag.h"

#include <QSize>
#include <QString>

#include <functional>
#include <memory>

// Makes the HEVC Main 10 movies the lock screen plays: at most 3840x2160 worth of pixels, a bit
// rate tied to the pixel count, about 30 frames per second, and looped for at least an hour.
// The same conversion without thinning and looping shrinks oversized videos for the library.
namespace LockScreenVideo {

inline constexpr qint64 maxPixels = 8'294'400; // 3840 x 2160

// Scales down (keeping the shape, even sides) to at most maxPixels; smaller sizes are unchanged.
QSize cappedSize(QSize size);
// Average bits per second for a video of this size: 40 Mbit/s at 2160p, never below 8 Mbit/s.
qint64 bitRate(QSize size);

inline QString failureText(const QString& message)
{
    return QStringLiteral("Couldn't convert the video for the lock screen: ") + message;
}

using CancelFlag = ::CancelFlag;

struct Outcome
{
    enum class Status { done, failed, cancelled };
    Status status = Status::failed;
    QString message; // for failed: what went wrong (failureText() makes the user-facing text)
    bool skippedEncoding = false;

    bool ok() const { return status == Status::done; }
    bool cancelled() const { return status == Status::cancelled; }
    QString description() const { return failureText(message); }
};

struct Options
{
    QString preset = QStringLiteral("superfast"); // x265 speed preset
    int threads = 0;                              // 0: all cores
};

// Converts `source` into `destination` (replaced only on success). forLockScreen thins to about
// 30 fps and loops the result; without it the video is only re-encoded to the size and rate
// limits. Progress rises from 0 to 1 and is called on the converting thread. Blocks: run it on a
// worker. No partial or temporary file survives a failure or a cancellation.
Outcome convert(const QString& source, const QString& destination, bool forLockScreen,
                const std::function<void(double)>& onProgress, const std::shared_ptr<CancelFlag>& cancel = {},
                const Options& options = {});

// Whether the lock screen can play the file as it is (only looping is needed).
bool fitsAsIs(const QString& path);

// The work file a conversion writes before it moves the result into place.
QString partialPath(const QString& destination);

} // namespace LockScreenVideo
