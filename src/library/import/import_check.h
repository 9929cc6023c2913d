#pragma once

#include "media/video_facts.h"

#include <QString>

#include <functional>
#include <optional>

// Whether a video may enter the library, and whether it must be re-encoded on the way in.
struct ImportCheck
{
    static constexpr qint64 maxBytes = 4'000'000'000;
    static constexpr double maxSeconds = 600;
    static constexpr qint64 maxBitRate = 60'000'000;
    // Free space kept on top of what the import itself needs.
    static constexpr qint64 spaceMargin = 200'000'000;

    bool ok = false;
    bool needsShrinking = false; // meaningful when ok
    QString message;             // the refusal, when not ok

    static ImportCheck accepted(bool needsShrinking) { return {true, needsShrinking, {}}; }
    static ImportCheck refused(const QString& message) { return {false, false, message}; }

    // The facts the check reads, each fetched only when the check gets that far. Tests feed their
    // own (a 4 GB file need not exist to check the 4 GB boundary).
    struct Facts
    {
        std::function<std::optional<qint64>()> fileBytes;
        std::function<std::optional<VideoFacts>()> video;
        std::function<std::optional<qint64>()> freeBytes;
    };
    // Reads of the video give up once `cancel` is set.
    static Facts factsOf(const QString& path, const QString& destinationFolder, const CancelFlag* cancel = nullptr);

    static ImportCheck evaluate(const Facts& facts);
    // Reads the file: call it from a worker. Only a regular file is read at all: anything else
    // (a FIFO, a device, a socket) is refused at once as unreadable.
    static ImportCheck run(const QString& path, const QString& destinationFolder, const CancelFlag* cancel = nullptr);

    // Bytes a lock-screen copy of a video of this size and length is expected to take.
    static qint64 lockScreenEstimate(QSize naturalSize, double seconds);
    // Free bytes on the volume that holds `folder` (or its nearest existing parent).
    static std::optional<qint64> freeBytesAt(const QString& folder);

    bool operator==(const ImportCheck&) const = default;
};
