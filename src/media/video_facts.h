#pragma once

#include "media/cancel_flag.h"

#include <QSize>
#include <QString>

#include <optional>

// What the demuxer knows about a video file's first video track, without decoding a frame.
struct VideoFacts
{
    QSize naturalSize;  // coded frame size
    QSize displaySize;  // as shown: width and height swapped for a quarter turn
    int rotation = 0;   // clockwise degrees the player applies
    bool identityTransform = true;
    double duration = 0;     // seconds (0 when unknown)
    qint64 dataRate = 0;     // estimated bits per second of the video track (0 when unknown)
    double frameRate = 0;    // nominal frames per second (0 when unknown)
    QString codec;           // FFmpeg codec name, "hevc", "h264", ...
    QString codecTag;        // four-character sample entry, "hvc1", "avc1", ...
    bool hasParameterSets = false; // the sample entry carries its decoder configuration
    bool isQuickTimeFamily = false; // MOV/MP4 container
    // Colour tags (FFmpeg enumeration values; 2 = unspecified).
    int primaries = 2;
    int transfer = 2;
    int matrix = 2;

    // nullopt when the file cannot be opened or has no video track (the reason in `error`).
    // Reads give up once `cancel` is set.
    static std::optional<VideoFacts> read(const QString& path, QString* error = nullptr, const CancelFlag* cancel = nullptr);
};
