#include "media/lock_screen_video.h"

#include "media/ffmpeg_support.h"
#include "media/hevc_movie_writer.h"
#include "media/movie_boxes.h"
#include "media/movie_looper.h"
#include "media/video_decoder.h"
#include "media/video_facts.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cmath>
#include <limits>

namespace LockScreenVideo {

namespace {

// Frames closer together than this are dropped for the lock screen: about 30 per second, with a
// little slack so a 30 fps source keeps every frame despite rounded timestamps.
constexpr double thinningInterval = 0.97 / 30;

Outcome failed(const QString& message) { return {Outcome::Status::failed, message, false}; }
Outcome cancelled() { return {Outcome::Status::cancelled, {}, false}; }

bool isBt709OrUnset(int value)
{
    return value == AVCOL_PRI_BT709 || value == AVCOL_PRI_UNSPECIFIED; // same numbers for all three tags
}

// The edit list of the first video track, or nullopt when it cannot be read. An absent edit list
// plays the media once from its start: one segment at 0.
std::optional<QList<EditSegment>> videoEdits(const QString& path, int* sampleDescriptions)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto top = topLevelBoxes(file);
    if (!top)
        return std::nullopt;
    for (const TopLevelBox& box : *top) {
        if (box.type != "moov" || !file.seek(box.offset))
            continue;
        const auto moov = MovieBox::parseAll(file.read(box.size));
        if (!moov || moov->isEmpty())
            return std::nullopt;
        for (const MovieBox* trak : moov->first().all("trak")) {
            if (MovieHeader::handlerType(*trak) != "vide")
                continue;
            *sampleDescriptions = MovieHeader::sampleDescriptionCount(*trak);
            const MovieBox* edts = trak->child("edts");
            if (!edts || !edts->child("elst"))
                return QList<EditSegment>{{1, 0}};
            return MovieHeader::editList(*edts->child("elst"));
        }
    }
    return std::nullopt;
}

// Output frame rate after thinning a source of `rate` frames per second.
AVRational thinnedRate(double rate, bool thin)
{
    if (!(rate > 0))
        return AVRational{30, 1};
    double kept = rate;
    if (thin) {
        // Every k-th frame survives, k the smallest step not shorter than the interval.
        const double k = std::ceil(thinningInterval * rate - 1e-9);
        kept = rate / std::max(1.0, k);
    }
    return av_d2q(kept, 100000);
}

} // namespace

QSize cappedSize(QSize size)
{
    const double pixels = std::max(double(size.width()) * size.height(), 1.0);
    const double s = std::sqrt(double(maxPixels) / pixels);
    if (s >= 1)
        return size;
    // std::round rounds halves away from zero.
    const int width = std::max(2, 2 * int(std::round(size.width() * s / 2)));
    const int height = std::max(2, 2 * int(std::round(size.height() * s / 2)));
    return QSize(width, height);
}

qint64 bitRate(QSize size)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    return std::max<qint64>(pixels * 40'000'000 / maxPixels, 8'000'000);
}

QString partialPath(const QString& destination)
{
    const QFileInfo info(destination);
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.') + uuid
        + QStringLiteral(".partial.mov");
}

bool fitsAsIs(const QString& path)
{
    const auto facts = VideoFacts::read(path);
    if (!facts || !facts->isQuickTimeFamily)
        return false;
    int descriptions = 0;
    const auto edits = videoEdits(path, &descriptions);
    if (!edits || edits->size() != 1 || descriptions != 1)
        return false;
    const EditSegment& only = edits->first();
    return facts->codecTag == QLatin1String("hvc1") && facts->frameRate > 0 && facts->frameRate <= 30.01
        && cappedSize(facts->naturalSize) == facts->naturalSize && facts->dataRate > 0
        && facts->dataRate <= bitRate(facts->naturalSize) && facts->identityTransform && only.duration > 0
        && only.mediaTime == 0 && facts->hasParameterSets && isBt709OrUnset(facts->primaries)
        && isBt709OrUnset(facts->transfer) && isBt709OrUnset(facts->matrix);
}

// The one conversion behind both: `forLockScreen` thins the rate and loops the result.
static Outcome convert(const QString& source, const QString& destination, bool forLockScreen,
                       const std::function<void(double)>& onProgress, const std::shared_ptr<CancelFlag>& cancel,
                       const Options& options)
{
    const auto report = [&](double fraction) {
        if (onProgress)
            onProgress(fraction);
    };
    const auto isCancelled = [&] { return cancel && cancel->isCancelled(); };

    VideoDecoder decoder;
    if (!decoder.open(source.toStdString(), 0, true, cancel.get()))
        return failed(QString::fromStdString(decoder.error()));

    if (forLockScreen && fitsAsIs(source)) {
        report(0.5);
        if (auto error = MovieLooper::loopIntoPlace(source, destination))
            return failed(*error);
        report(1.0);
        return {Outcome::Status::done, {}, true};
    }

    const AVStream* stream = decoder.stream();
    const auto facts = VideoFacts::read(source);
    const double duration = std::max(facts ? facts->duration : 0.0, 0.001);
    const QSize natural(stream->codecpar->width, stream->codecpar->height);
    const QSize size = cappedSize(natural);
    const qint64 rate = bitRate(size);

    HevcMovieWriter::Settings settings;
    settings.width = size.width();
    settings.height = size.height();
    settings.timeBase = stream->time_base;
    settings.frameRate = thinnedRate(facts ? facts->frameRate : 0, forLockScreen);
    settings.bitRate = rate;
    settings.maxRate = rate * 3 / 2;
    settings.bufferBits = rate * 3 / 2; // the peak holds over any one second
    settings.preset = options.preset.toStdString();
    settings.threads = options.threads;
    settings.displayMatrix = Av::displayMatrix(stream);

    const QString partial = partialPath(destination);
    const auto cleanUp = [&] { QFile::remove(partial); };
    Outcome outcome = [&]() -> Outcome {
        HevcMovieWriter writer;
        if (!writer.open(partial.toStdString(), settings))
            return failed(writer.error().empty() ? QStringLiteral("couldn't start") : QString::fromStdString(writer.error()));

        // Into the writer's 10-bit BT.709 canvas.
        Av::Scaler converter(Av::Scaler::Colours::bt709);
        const double interval = forLockScreen ? thinningInterval : 0;
        double nextAllowed = -std::numeric_limits<double>::infinity();
        std::optional<int64_t> firstPts;
        int lastPercent = -1;
        while (AVFrame* frame = decoder.next()) {
            if (isCancelled())
                return cancelled();
            const double t = decoder.time();
            if (t < nextAllowed || t < -0.001)
                continue;
            nextAllowed = t + interval;
            AVFrame* canvas = writer.canvas();
            if (!canvas)
                return failed(QStringLiteral("couldn't scale the video"));
            if (!converter.scale(frame, canvas))
                return failed(QStringLiteral("couldn't scale the video: ") + QString::fromStdString(converter.error()));
            int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
            if (!firstPts)
                firstPts = pts; // the movie starts with its first written frame
            if (!writer.write(canvas, pts - *firstPts))
                return failed(QString::fromStdString(writer.error()));
            const int percent = int(t / duration * 100);
            if (percent != lastPercent) {
                lastPercent = percent;
                report(std::min(percent / 100.0, 1.0));
            }
        }
        if (isCancelled())
            return cancelled();
        if (decoder.failed())
            return failed(QString::fromStdString(decoder.error()));
        if (!firstPts)
            return failed(QStringLiteral("the video has no frames"));
        if (!writer.finish())
            return failed(QString::fromStdString(writer.error()));

        if (forLockScreen) {
            if (auto error = MovieLooper::loopIntoPlace(partial, destination))
                return failed(*error);
        } else {
            QFile::remove(destination);
            if (!QFile::rename(partial, destination))
                return failed(QStringLiteral("couldn't move the converted video into place"));
        }
        return {Outcome::Status::done, {}, false};
    }();
    cleanUp();
    if (outcome.ok())
        report(1.0);
    return outcome;
}

Outcome makeLockScreenCopy(const QString& source, const QString& destination, const std::function<void(double)>& onProgress,
                           const std::shared_ptr<CancelFlag>& cancel, const Options& options)
{
    return convert(source, destination, true, onProgress, cancel, options);
}

Outcome shrink(const QString& source, const QString& destination, const std::function<void(double)>& onProgress,
               const std::shared_ptr<CancelFlag>& cancel, const Options& options)
{
    return convert(source, destination, false, onProgress, cancel, options);
}

} // namespace LockScreenVideo
