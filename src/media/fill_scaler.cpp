#include "media/fill_scaler.h"

#include <QRect>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// How many pictures of one size may be out at once (on screen, queued, being drawn).
constexpr size_t poolLimit = 4;

} // namespace

void FillScaler::setShape(double pixelAspect, int rotation)
{
    m_pixelAspect = pixelAspect > 0 && std::isfinite(pixelAspect) ? pixelAspect : 1;
    m_rotation = rotation;
}

QRect FillScaler::crop(QSize frame, double pixelAspect, QSize target)
{
    if (frame.isEmpty() || target.isEmpty())
        return {};
    const double shownWidth = frame.width() * pixelAspect;
    const double targetShape = double(target.width()) / target.height();
    int width = frame.width();
    int height = frame.height();
    if (shownWidth / frame.height() > targetShape)
        width = std::clamp(int(std::lround(frame.height() * targetShape / pixelAspect)), 1, frame.width());
    else
        height = std::clamp(int(std::lround(shownWidth / targetShape)), 1, frame.height());
    return QRect((frame.width() - width) / 2, (frame.height() - height) / 2, width, height);
}

AVFrame* FillScaler::reusableFrame(QSize size)
{
    for (const Av::FramePtr& frame : m_pool)
        if (frame->width == size.width() && frame->height == size.height() && av_buffer_is_writable(frame->buf[0]))
            return frame.get();
    // Pictures of a size no longer asked for make room first.
    std::erase_if(m_pool, [&](const Av::FramePtr& frame) { return frame->width != size.width() || frame->height != size.height(); });
    if (m_pool.size() >= poolLimit)
        m_pool.erase(m_pool.begin()); // still held elsewhere: the holder keeps its own reference
    Av::FramePtr frame = m_memory ? frameInMemory(size) : nullptr;
    if (!frame)
        frame = Av::makeVideoFrame(size.width(), size.height(), AV_PIX_FMT_RGB32);
    if (!frame)
        return nullptr;
    m_pool.push_back(std::move(frame));
    return m_pool.back().get();
}

Av::FramePtr FillScaler::frameInMemory(QSize size) const
{
    // Rows start 64-byte aligned and a spare block follows the last one, as in FFmpeg's own
    // buffers: swscale's vector code writes whole blocks and may run past a row's end.
    constexpr int align = 64;
    if (av_image_check_size(unsigned(size.width()), unsigned(size.height()), 0, nullptr) < 0 || size.width() > (INT_MAX - align) / 4)
        return nullptr;
    const int stride = (size.width() * 4 + align - 1) / align * align;
    const std::size_t bytes = std::size_t(stride) * std::size_t(size.height()) + 4 * align;
    Av::FramePtr frame = Av::makeFrame();
    uchar* block = frame ? m_memory.allocate(bytes) : nullptr;
    if (!block)
        return nullptr;
    // The buffer gives its block back when the last picture using it is gone.
    auto* release = new std::function<void(uchar*)>(m_memory.release);
    frame->buf[0] = av_buffer_create(
        block, bytes,
        [](void* opaque, uint8_t* data) {
            auto* giveBack = static_cast<std::function<void(uchar*)>*>(opaque);
            (*giveBack)(data);
            delete giveBack;
        },
        release, 0);
    if (!frame->buf[0]) {
        (*release)(block);
        delete release;
        return nullptr;
    }
    frame->data[0] = block;
    frame->linesize[0] = stride;
    frame->width = size.width();
    frame->height = size.height();
    frame->format = AV_PIX_FMT_RGB32;
    return frame;
}

bool FillScaler::scale(const AVFrame* in, AVFrame* out)
{
    if (!m_scaler || m_scalerIn[0] != in->width || m_scalerIn[1] != in->height || m_scalerIn[2] != in->format
        || m_scalerOut[0] != out->width || m_scalerOut[1] != out->height) {
        const auto from = AVPixelFormat(in->format);
        if (!sws_isSupportedInput(from)) {
            m_error = "cannot read the video's pixel format";
            return false;
        }
        // Bilinear: the picture moves on thirty times a second, bicubic's sharpness is not seen.
        m_scaler.reset(sws_getContext(in->width, in->height, from, out->width, out->height, AVPixelFormat(out->format), SWS_BILINEAR,
                                      nullptr, nullptr, nullptr));
        if (!m_scaler) {
            m_error = "the scaler refuses this size";
            return false;
        }
        m_scalerIn[0] = in->width, m_scalerIn[1] = in->height, m_scalerIn[2] = in->format;
        m_scalerOut[0] = out->width, m_scalerOut[1] = out->height;
    }
    // The output has FFmpeg's own padded buffers, so swscale's whole-block writes stay inside.
    const int rows = sws_scale(m_scaler.get(), in->data, in->linesize, 0, in->height, out->data, out->linesize);
    if (rows != out->height) {
        m_error = rows < 0 ? "the scale failed: " + Av::errorText(rows) : "the scale stopped early";
        return false;
    }
    return true;
}

QImage FillScaler::fill(const AVFrame* frame, QSize size)
{
    if (!frame || frame->width <= 0 || frame->height <= 0 || size.isEmpty()) {
        m_error = "nothing to scale";
        return {};
    }
    const bool sideways = m_rotation == 90 || m_rotation == 270;
    const QSize target = sideways ? size.transposed() : size;
    const QRect part = crop(QSize(frame->width, frame->height), m_pixelAspect, target);
    // A new reference to the same buffers, cut to the part shown: no pixels are copied.
    Av::FramePtr cropped(av_frame_clone(frame));
    if (!cropped) {
        m_error = "out of memory";
        return {};
    }
    cropped->crop_left = size_t(part.left());
    cropped->crop_top = size_t(part.top());
    cropped->crop_right = size_t(frame->width - part.right() - 1);
    cropped->crop_bottom = size_t(frame->height - part.bottom() - 1);
    if (const int result = av_frame_apply_cropping(cropped.get(), AV_FRAME_CROP_UNALIGNED); result < 0) {
        m_error = "cannot crop the frame: " + Av::errorText(result);
        return {};
    }
    AVFrame* out = reusableFrame(target);
    if (!out) {
        m_error = "cannot make a picture of that size";
        return {};
    }
    // A 4K video on a 1080p display: halved first, the scaler only converts the colours.
    if (!scale(m_halvings.towards(cropped.get(), target.width(), target.height()), out))
        return {};
    // The picture holds its own reference to the buffer; the pool sees it as taken until the
    // last copy of the picture is gone.
    AVFrame* held = av_frame_clone(out);
    if (!held) {
        m_error = "out of memory";
        return {};
    }
    QImage image(held->data[0], held->width, held->height, held->linesize[0], QImage::Format_RGB32,
                 [](void* data) {
                     auto* owned = static_cast<AVFrame*>(data);
                     av_frame_free(&owned);
                 },
                 held);
    if (m_rotation != 0)
        return image.transformed(QTransform().rotate(m_rotation));
    return image;
}
