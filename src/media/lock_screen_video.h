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

// Both conversions write `destination` (replaced only on success); progress rises from 0 to 1 and
// is called on the converting thread. They block: run them on a worker. No partial or temporary
// file survives a failure or a cancellation.

// The lock screen's copy of a video: thinned to about 30 fps and looped. A file the lock screen
// can play as it is only gets its loop.
Outcome makeLockScreenCopy(const QString& source, const QString& destination, const std::function<void(double)>& onProgress,
                           const std::shared_ptr<CancelFlag>& cancel = {}, const Options& options = {});

// A video re-encoded to the size and rate limits, at its own frame rate (a library video that is
// too large to play smoothly).
Outcome shrink(const QString& source, const QString& destination, const std::function<void(double)>& onProgress,
               const std::shared_ptr<CancelFlag>& cancel = {}, const Options& options = {});

// Whether the lock screen can play the file as it is (only looping is needed).
bool fitsAsIs(const QString& path);

// The work file a conversion writes before it moves the result into place.
QString partialPath(const QString& destination);

} // namespace LockScreenVideo
