#include "media/video_loop.h"

#include <cstdlib>

#include <QTransform>

#include <cmath>

bool VideoLoop::open(const QString& path, int threads)
{
    m_path = path;
    m_threads = threads;
    if (!reopen())
        return false;
    AVStream* stream = m_decoder->stream();
    const AVCodecContext* codec = m_decoder->codec();
    m_rotation = Av::clockwiseRotation(stream);
    double aspect = 1;
    const AVRational sar = codec->sample_aspect_ratio.num ? codec->sample_aspect_ratio : stream->sample_aspect_ratio;
    if (sar.num > 0 && sar.den > 0)
        aspect = av_q2d(sar);
    QSize shown(std::max(1, int(std::lround(codec->width * aspect))), std::max(1, codec->height));
    if (m_rotation == 90 || m_rotation == 270)
        shown.transpose();
    m_displaySize = shown;
    const AVRational rate = stream->avg_frame_rate.num ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        m_frameRate = av_q2d(rate);
    return true;
}

bool VideoLoop::reopen()
{
    m_decoder = std::make_unique<VideoDecoder>();
    if (!m_decoder->open(m_path.toStdString(), m_threads)) {
        m_error = m_decoder->error();
        return false;
    }
    return true;
}

VideoLoop::Frame VideoLoop::next(QSize size)
{
    if (!m_decoder)
        return {};
    bool restarted = false;
    const AVFrame* frame = m_decoder->next();
    if (!frame) {
        if (m_decoder->failed()) {
            m_error = m_decoder->error();
            return {};
        }
        // The end: again from the start (a fresh decoder has nothing left over from the end).
        if (!reopen())
            return {};
        restarted = true;
        frame = m_decoder->next();
        if (!frame) {
            m_error = m_decoder->error().empty() ? std::string("no frames") : m_decoder->error();
            return {};
        }
    }
    return {scale(frame, size), m_decoder->time(), restarted};
}

namespace {

// swscale's vector code writes whole blocks of pixels and may run past the end of a row, and so
// past the last row: rows start 64-byte aligned and a spare block follows the picture.
QImage paddedImage(QSize size)
{
    constexpr qsizetype align = 64;
    const qsizetype stride = (qsizetype(size.width()) * 4 + align - 1) / align * align;
    const qsizetype bytes = stride * size.height() + 4 * align;
    void* data = std::aligned_alloc(align, size_t(bytes));
    if (!data)
        return {};
    return QImage(static_cast<uchar*>(data), size.width(), size.height(), stride, QImage::Format_RGB32,
                  [](void* buffer) { std::free(buffer); }, data);
}

} // namespace

QImage& VideoLoop::reusableImage(QSize size)
{
    // Drawn into through the slot itself: a copy would share the pixels and detach on writing.
    for (QImage& image : m_images)
        if (image.size() == size && image.isDetached())
            return image;
    QImage& slot = m_images[m_nextImage++ % m_images.size()];
    slot = paddedImage(size);
    return slot;
}

QImage VideoLoop::scale(const AVFrame* frame, QSize size)
{
    if (frame->width <= 0 || frame->height <= 0 || size.isEmpty())
        return {};
    QSize target = m_displaySize.scaled(size, Qt::KeepAspectRatio);
    if (m_rotation == 90 || m_rotation == 270)
        target.transpose();
    target = target.expandedTo(QSize(2, 2));
    // Whole halves first while the picture stays at least the target's size: a 1080p frame for a
    // 960x540 preview then needs only the colour conversion, not a scale.
    frame = m_halvings.towards(frame, target.width(), target.height());
    const QSize in(frame->width, frame->height);
    if (!m_scaler || in != m_scalerIn || target != m_scalerOut || frame->format != m_scalerFormat) {
        // Bilinear is plenty for a moving picture, and costs a fraction of bicubic. Down to half
        // size, two taps per pixel already cover every source pixel: the fast variant then looks
        // the same and costs less; below half it would skip pixels and shimmer.
        const bool twoTapsSuffice = in.width() <= 2 * target.width() && in.height() <= 2 * target.height();
        m_scaler.reset(sws_getContext(in.width(), in.height(), AVPixelFormat(frame->format), target.width(), target.height(),
                                      AV_PIX_FMT_RGB32, twoTapsSuffice ? SWS_FAST_BILINEAR : SWS_BILINEAR, nullptr, nullptr, nullptr));
        m_scalerIn = in;
        m_scalerOut = target;
        m_scalerFormat = frame->format;
    }
    if (!m_scaler)
        return {};
    QImage& image = reusableImage(target);
    if (image.isNull())
        return {};
    uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) <= 0)
        return {};
    if (m_rotation != 0)
        return image.transformed(QTransform().rotate(m_rotation));
    return image;
}
