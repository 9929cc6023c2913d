#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The facts the library page shows about one media file. Reads are cached for the life of the
// process; forget() drops a file whose contents changed.
struct VideoInfo
{
    QSize size;                     // as shown (after rotation)
    std::optional<double> duration; // seconds; absent for pictures
    qint64 bytes = 0;

    QString resolutionText() const;
    std::optional<QString> durationText() const;
    QString sizeText() const;

    // Cached value or a fresh read; nullopt when nothing can be read. Blocks on the file: call it
    // from a worker. Safe from any thread.
    static std::optional<VideoInfo> load(const QString& path);
    static void forget(const QString& path);

    bool operator==(const VideoInfo&) const = default;
};
