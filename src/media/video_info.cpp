#include "media/video_info.h"

#include "media/image_info.h"
#include "media/media_kind.h"
#include "media/video_facts.h"

#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>

#include <cmath>

namespace {

QMutex cacheLock;
QHash<QString, VideoInfo>& cache()
{
    static QHash<QString, VideoInfo> values;
    return values;
}

QString key(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

std::optional<VideoInfo> readInfo(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return std::nullopt;
    VideoInfo info;
    info.bytes = file.size();
    if (MediaKind::isImage(path)) {
        const auto size = ImageInfo::size(path);
        if (!size)
            return std::nullopt;
        info.size = *size;
        return info;
    }
    const auto facts = VideoFacts::read(path);
    if (!facts)
        return std::nullopt;
    info.size = facts->displaySize;
    info.duration = facts->duration;
    return info;
}

} // namespace

QString VideoInfo::resolutionText() const
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

std::optional<QString> VideoInfo::durationText() const
{
    if (!duration)
        return std::nullopt;
    const double seconds = *duration;
    if (seconds < 60)
        return QString::asprintf("%.1f s", seconds);
    const qint64 whole = qint64(seconds);
    return QString::asprintf("%lld:%02lld", whole / 60, whole % 60);
}

QString VideoInfo::sizeText() const
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

std::optional<VideoInfo> VideoInfo::load(const QString& path)
{
    const QString k = key(path);
    {
        QMutexLocker locker(&cacheLock);
        if (auto it = cache().constFind(k); it != cache().constEnd())
            return *it;
    }
    auto info = readInfo(path);
    if (info) {
        QMutexLocker locker(&cacheLock);
        cache().insert(k, *info);
    }
    return info;
}

void VideoInfo::forget(const QString& path)
{
    QMutexLocker locker(&cacheLock);
    cache().remove(key(path));
}
