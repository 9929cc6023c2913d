#include "media/half_size_frame.h"

// This file is built with the loop vectoriser on (see CMakeLists.txt): the averaging below is a
// few instructions per 16 or 32 pixels then, and byte by byte without it.

namespace {

void halvePlane(const uint8_t* source, int sourceStride, uint8_t* target, int targetStride, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t* top = source + ptrdiff_t(2 * y) * sourceStride;
        const uint8_t* bottom = top + sourceStride;
        uint8_t* out = target + ptrdiff_t(y) * targetStride;
        for (int x = 0; x < width; ++x)
            out[x] = uint8_t((top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
    }
}

} // namespace

bool HalfSizeFrame::canHalve(const AVFrame* frame)
{
    const auto format = AVPixelFormat(frame->format);
    return (format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P) && frame->width >= 4 && frame->height >= 4
        && frame->width % 4 == 0 && frame->height % 4 == 0;
}

const AVFrame* HalfSizeFrame::halve(const AVFrame* frame)
{
    if (!canHalve(frame))
        return nullptr;
    const int width = frame->width / 2;
    const int height = frame->height / 2;
    if (!m_half || m_half->width != width || m_half->height != height || m_half->format != frame->format) {
        m_half.reset(av_frame_alloc());
        if (!m_half)
            return nullptr;
        m_half->format = frame->format;
        m_half->width = width;
        m_half->height = height;
        // Rows aligned for the scaler's vector code, which reads whole blocks.
        if (av_frame_get_buffer(m_half.get(), 64) < 0) {
            m_half.reset();
            return nullptr;
        }
    }
    halvePlane(frame->data[0], frame->linesize[0], m_half->data[0], m_half->linesize[0], width, height);
    for (int plane = 1; plane <= 2; ++plane)
        halvePlane(frame->data[plane], frame->linesize[plane], m_half->data[plane], m_half->linesize[plane], width / 2, height / 2);
    // The scaler reads the colour description from the frame it is given.
    m_half->color_range = frame->color_range;
    m_half->colorspace = frame->colorspace;
    return m_half.get();
}

const AVFrame* FrameHalvings::towards(const AVFrame* frame, int width, int height)
{
    for (HalfSizeFrame& half : m_halves) {
        if (!HalfSizeFrame::canHalve(frame) || frame->width / 2 < width || frame->height / 2 < height)
            break;
        const AVFrame* halved = half.halve(frame);
        if (!halved)
            break;
        frame = halved;
    }
    return frame;
}
