#include "media/thumbnailer.h"

#include "media/ffmpeg_support.h"
#include "media/heif_file.h"
#include "media/video_decoder.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Fits `size` into a square of `limit` keeping its shape; never upscales. Both sides at least 1.
QSize fitted(QSizeF size, int limit)
{
    const double longer = std::max(size.width(), size.height());
    const double scale = longer > limit ? limit / longer : 1.0;
    return QSize(std::max(1, int(std::lround(size.width() * scale))), std::max(1, int(std::lround(size.height() * scale))));
}

// The decoded frame as 8-bit RGB at `size` (10-bit sources are reduced: a 16-bit PNG is several
// times larger and looks the same at thumbnail size). Scaled into FFmpeg's padded frame, then
// copied row by row: the scaler may write past the end of a row, and a QImage has no room there.
QImage toImage(const AVFrame* frame, QSize size, QString* error)
{
    const Av::FramePtr rgb = Av::makeVideoFrame(size.width(), size.height(), AV_PIX_FMT_RGB24);
    if (!rgb) {
        *error = QStringLiteral("no room for a %1x%2 picture").arg(size.width()).arg(size.height());
        return {};
    }
    Av::Scaler scaler;
    if (!scaler.scale(frame, rgb.get())) {
        *error = QString::fromStdString(scaler.error());
        return {};
    }
    QImage image(size, QImage::Format_RGB888);
    if (image.isNull()) {
        *error = QStringLiteral("no room for a %1x%2 picture").arg(size.width()).arg(size.height());
        return {};
    }
    const qsizetype rowBytes = qsizetype(size.width()) * 3;
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(image.scanLine(y), rgb->data[0] + qsizetype(y) * rgb->linesize[0], size_t(rowBytes));
    return image;
}

} // namespace

namespace Thumbnailer {

std::optional<QImage> videoFrame(const QString& video, int maxWidth, const CancelFlag* cancel, QString* error)
{
    QString reason;
    const auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    VideoDecoder decoder;
    if (!decoder.open(video.toStdString(), 0, false, cancel))
        return failed(QString::fromStdString(decoder.error()));
    const AVFrame* frame = nullptr;
    // Frames before the start (held back by an edit list or an encoder delay) are not shown.
    while ((frame = decoder.next()) && decoder.time() < -0.0005) {
    }
    if (!frame || frame->width <= 0 || frame->height <= 0)
        return failed(decoder.failed() ? QString::fromStdString(decoder.error()) : QStringLiteral("no frame could be read from the video"));

    double pixelAspect = 1;
    const AVRational sar = frame->sample_aspect_ratio.num ? frame->sample_aspect_ratio : decoder.stream()->sample_aspect_ratio;
    if (sar.num > 0 && sar.den > 0)
        pixelAspect = av_q2d(sar);
    // The frame is scaled before it is turned, so its longer side is the same either way.
    const QSize size = fitted(QSizeF(frame->width * pixelAspect, frame->height), std::max(1, maxWidth));
    QImage image = toImage(frame, size, &reason);
    if (image.isNull())
        return failed(reason);
    if (const int rotation = Av::clockwiseRotation(decoder.stream()))
        image = image.transformed(QTransform().rotate(rotation));
    return image;
}

std::optional<QImage> image(const QString& picture, int maxPixels, int index)
{
    QImage decoded;
    if (HeifFile::looksLikeHeif(picture)) {
        if (const auto file = HeifFile::open(picture))
            decoded = file->decode(index);
    } else {
        QImageReader reader(picture);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        if (index > 0 && !reader.jumpToImage(index))
            return std::nullopt;
        // Let the decoder scale when it can (JPEG decodes straight to a smaller size).
        const QSize stored = reader.size();
        if (!stored.isEmpty() && std::max(stored.width(), stored.height()) > maxPixels)
            reader.setScaledSize(fitted(stored, maxPixels));
        decoded = reader.read();
    }
    if (decoded.isNull())
        return std::nullopt;
    if (std::max(decoded.width(), decoded.height()) > maxPixels)
        decoded = decoded.scaled(fitted(decoded.size(), maxPixels), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return decoded;
}

Result savePng(const QImage& image, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QSaveFile file(to);
    if (!file.open(QIODevice::WriteOnly))
        return Result::failure(file.errorString());
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return Result::failure(QStringLiteral("the PNG could not be encoded"));
    }
    if (!file.commit())
        return Result::failure(file.errorString());
    return Result::success();
}

Result writeVideo(const QString& video, const QString& to, int maxWidth, const CancelFlag* cancel)
{
    QString error;
    const auto frame = videoFrame(video, maxWidth, cancel, &error);
    if (!frame)
        return Result::failure(error);
    return savePng(*frame, to);
}

Result writePicture(const QString& picture, const QString& to, int maxWidth)
{
    const auto picked = image(picture, maxWidth, 0);
    if (!picked)
        return Result::failure(QStringLiteral("the picture could not be read"));
    return savePng(*picked, to);
}

} // namespace Thumbnailer
