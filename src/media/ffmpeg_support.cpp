#include "media/ffmpeg_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Av {

void FormatOutputDeleter::operator()(AVFormatContext* c) const
{
    if (c && c->pb && !(c->oformat->flags & AVFMT_NOFILE))
        avio_closep(&c->pb);
    avformat_free_context(c);
}

std::string errorText(int code)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

namespace {

int cancelled(void* flag)
{
    return static_cast<const CancelFlag*>(flag)->isCancelled() ? 1 : 0;
}

std::string formatName(int format)
{
    const char* name = av_get_pix_fmt_name(AVPixelFormat(format));
    return name ? name : "unknown";
}

std::string sizeText(int width, int height, int format)
{
    return std::to_string(width) + "x" + std::to_string(height) + " " + formatName(format);
}

} // namespace

InputPtr openInput(const std::string& path, std::string* error, const CancelFlag* cancel)
{
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        if (error)
            *error = errorText(AVERROR(ENOMEM));
        return {};
    }
    // FFmpeg asks between reads (and while probing) whether to give up.
    if (cancel)
        raw->interrupt_callback = {&cancelled, const_cast<CancelFlag*>(cancel)};
    // Frees the context when it fails.
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        if (error)
            *error = errorText(rc);
        return {};
    }
    InputPtr format(raw);
    rc = avformat_find_stream_info(format.get(), nullptr);
    if (rc < 0) {
        if (error)
            *error = errorText(rc);
        return {};
    }
    return format;
}

int firstVideoStream(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return int(i);
    }
    return -1;
}

std::array<int32_t, 9> displayMatrix(const AVStream* stream)
{
    std::array<int32_t, 9> matrix{0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    size_t size = 0;
    // Deprecated in later FFmpeg releases in favour of codecpar side data; this is the 5.x way.
    const uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data && size >= sizeof(int32_t) * 9)
        std::memcpy(matrix.data(), data, sizeof(int32_t) * 9);
    return matrix;
}

bool isIdentity(const std::array<int32_t, 9>& m)
{
    return m[0] == 0x10000 && m[1] == 0 && m[3] == 0 && m[4] == 0x10000 && m[2] == 0 && m[5] == 0 && m[6] == 0
        && m[7] == 0;
}

int clockwiseRotation(const AVStream* stream)
{
    const auto matrix = displayMatrix(stream);
    if (isIdentity(matrix))
        return 0;
    // av_display_rotation_get answers counter-clockwise degrees.
    const double ccw = av_display_rotation_get(matrix.data());
    if (std::isnan(ccw))
        return 0;
    int cw = int(std::lround(-ccw)) % 360;
    if (cw < 0)
        cw += 360;
    return (cw + 45) / 90 * 90 % 360;
}

FramePtr makeVideoFrame(int width, int height, AVPixelFormat format)
{
    if (av_image_check_size(unsigned(std::max(width, 0)), unsigned(std::max(height, 0)), 0, nullptr) < 0)
        return {};
    FramePtr frame = makeFrame();
    if (!frame)
        return {};
    frame->width = width;
    frame->height = height;
    frame->format = format;
    // 0: the alignment the running CPU's vector code wants; FFmpeg pads the rows and the end.
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    return frame;
}

bool Scaler::fail(std::string reason)
{
    m_error = std::move(reason);
    // A context that failed is not used again.
    m_context.reset();
    m_in[2] = m_out[2] = -1;
    return false;
}

bool Scaler::setUp(const AVFrame* in, const AVFrame* out)
{
    const AVPixelFormat from = AVPixelFormat(in->format);
    const AVPixelFormat to = AVPixelFormat(out->format);
    if (!sws_isSupportedInput(from))
        return fail("the scaler cannot read " + formatName(from) + " pixels");
    if (!sws_isSupportedOutput(to))
        return fail("the scaler cannot write " + formatName(to) + " pixels");
    m_context.reset(sws_getContext(in->width, in->height, from, out->width, out->height, to, SWS_BICUBIC, nullptr,
                                   nullptr, nullptr));
    if (!m_context)
        return fail("the scaler refuses " + sizeText(in->width, in->height, from) + " to "
                    + sizeText(out->width, out->height, to));
    if (m_colours == Colours::bt709) {
        int space = in->colorspace;
        if (space == AVCOL_SPC_UNSPECIFIED)
            space = in->height > 576 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
        const int fullRange = in->color_range == AVCOL_RANGE_JPEG ? 1 : 0;
        // The output is tagged BT.709, so a BT.601 source is re-matrixed rather than relabelled.
        if (sws_setColorspaceDetails(m_context.get(), sws_getCoefficients(space), fullRange,
                                     sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16) < 0)
            return fail("the scaler cannot convert the colours of " + formatName(from) + " to " + formatName(to));
    }
    m_in[0] = in->width, m_in[1] = in->height, m_in[2] = in->format;
    m_out[0] = out->width, m_out[1] = out->height, m_out[2] = out->format;
    return true;
}

bool Scaler::scale(const AVFrame* in, AVFrame* out)
{
    if (!in || !out)
        return fail("no frame to scale");
    if (!out->buf[0])
        return fail("the output frame has no padded buffers of its own");
    for (const AVFrame* frame : {in, static_cast<const AVFrame*>(out)})
        if (frame->width <= 0 || frame->height <= 0
            || av_image_check_size(unsigned(frame->width), unsigned(frame->height), 0, nullptr) < 0)
            return fail("the scaler cannot take a frame of " + std::to_string(frame->width) + "x"
                        + std::to_string(frame->height));
    const bool same = m_context && m_in[0] == in->width && m_in[1] == in->height && m_in[2] == in->format
        && m_out[0] == out->width && m_out[1] == out->height && m_out[2] == out->format;
    if (!same && !setUp(in, out))
        return false;
    const int rows = sws_scale(m_context.get(), in->data, in->linesize, 0, in->height, out->data, out->linesize);
    if (rows != out->height)
        return fail(rows < 0 ? "the scale failed: " + errorText(rows) : "the scale wrote " + std::to_string(rows) + " of "
                            + std::to_string(out->height) + " rows");
    return true;
}

std::optional<double> seconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return std::nullopt;
    return double(timestamp) * av_q2d(timeBase);
}

} // namespace Av
