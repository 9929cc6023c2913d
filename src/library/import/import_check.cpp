#include "library/import/import_check.h"

#include "media/lock_screen_video.h"
#include "platform/local_files.h"

#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include <algorithm>

ImportCheck ImportCheck::run(const QString& path, const QString& destinationFolder, const CancelFlag* cancel)
{
    if (!LocalFiles::isRegular(path))
        return refused(QStringLiteral("Couldn't read this video"));
    return evaluate(factsOf(path, destinationFolder, cancel));
}

ImportCheck::Facts ImportCheck::factsOf(const QString& path, const QString& destinationFolder, const CancelFlag* cancel)
{
    Facts facts;
    facts.fileBytes = [path]() -> std::optional<qint64> {
        const QFileInfo file(path);
        if (!file.isFile())
            return std::nullopt;
        return file.size();
    };
    facts.video = [path, cancel] { return VideoFacts::read(path, nullptr, cancel); };
    facts.freeBytes = [destinationFolder] { return freeBytesAt(destinationFolder); };
    return facts;
}

qint64 ImportCheck::lockScreenEstimate(QSize naturalSize, double seconds)
{
    const QSize capped = LockScreenVideo::cappedSize(naturalSize);
    return qint64(double(LockScreenVideo::bitRate(capped)) / 8 * seconds);
}

std::optional<qint64> ImportCheck::freeBytesAt(const QString& folder)
{
    // The folder may not exist yet: ask about the nearest parent that does.
    QString existing = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo(existing).isDir()) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            return std::nullopt;
        existing = parent;
    }
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return std::nullopt;
    return storage.bytesAvailable();
}

ImportCheck ImportCheck::evaluate(const Facts& facts)
{
    // -1: the size could not be read (the video check below decides then).
    qint64 bytes = -1;
    if (facts.fileBytes)
        bytes = facts.fileBytes().value_or(-1);
    if (bytes > maxBytes)
        return refused(QStringLiteral("Too large (over 4 GB). Try a shorter clip."));

    const std::optional<VideoFacts> video = facts.video ? facts.video() : std::nullopt;
    if (!video || video->naturalSize.isEmpty() || !(video->duration > 0))
        return refused(QStringLiteral("Couldn't read this video"));
    if (video->duration > maxSeconds)
        return refused(QStringLiteral("Too long (over 10 minutes). Try a shorter clip."));

    const qint64 pixels = qint64(video->naturalSize.width()) * video->naturalSize.height();
    const bool shrink = video->dataRate > maxBitRate || double(pixels) > 1.01 * double(LockScreenVideo::maxPixels);

    const qint64 estimate = lockScreenEstimate(video->naturalSize, video->duration);
    const qint64 sourceBytes = std::max<qint64>(bytes, 0);
    const qint64 needed = (shrink ? estimate : sourceBytes) + estimate + spaceMargin;
    const std::optional<qint64> free = facts.freeBytes ? facts.freeBytes() : std::nullopt;
    if (free && *free < needed) {
        const QString size = QLocale().formattedDataSize(needed, 1, QLocale::DataSizeSIFormat);
        return refused(QStringLiteral("Not enough disk space (needs about %1)").arg(size));
    }
    return accepted(shrink);
}
