#pragma once

// The one place that includes FFmpeg and papers over its version differences. Every AV* object
// lives in a unique_ptr with the matching free function, so early returns never leak.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "media/cancel_flag.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Av {

struct FormatInputDeleter { void operator()(AVFormatContext* c) const { avformat_close_input(&c); } };
struct FormatOutputDeleter { void operator()(AVFormatContext* c) const; };
struct CodecContextDeleter { void operator()(AVCodecContext* c) const { avcodec_free_context(&c); } };
struct FrameDeleter { void operator()(AVFrame* f) const { av_frame_free(&f); } };
struct PacketDeleter { void operator()(AVPacket* p) const { av_packet_free(&p); } };
struct SwsDeleter { void operator()(SwsContext* s) const { sws_freeContext(s); } };

using InputPtr = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using OutputPtr = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;

inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }

// av_err2str without the compound literal C++ cannot take.
std::string errorText(int code);

// Opens a file for reading and finds its streams; nullptr (with the reason in `error`) on failure.
// With a cancel flag, every read of the file (then and later) gives up once it is set.
InputPtr openInput(const std::string& path, std::string* error = nullptr, const CancelFlag* cancel = nullptr);

// Index of the first video stream that is not a cover picture, or -1.
int firstVideoStream(const AVFormatContext* format);

// The 3x3 display matrix of a stream (identity when it carries none).
std::array<int32_t, 9> displayMatrix(const AVStream* stream);
bool isIdentity(const std::array<int32_t, 9>& matrix);
// Clockwise rotation in whole degrees (0, 90, 180 or 270) the player applies to show the frames.
int clockwiseRotation(const AVStream* stream);

// A frame with buffers of its own for `width` x `height` pixels of `format`, aligned and padded
// as FFmpeg's vector code expects; nullptr when the size is refused or cannot be allocated.
FramePtr makeVideoFrame(int width, int height, AVPixelFormat format);

// The scale and pixel-format step. Every swscale call is checked: sizes and formats swscale does
// not take are refused, and a failed setup or scale is reported, never written past. Output goes
// only into frames with FFmpeg's own padded buffers (makeVideoFrame, av_frame_get_buffer):
// swscale's vector code writes whole blocks of pixels, past the end of short rows.
class Scaler
{
public:
    enum class Colours {
        asIs,   // swscale's defaults
        bt709,  // the input's matrix and range (as tagged) re-matrixed into limited-range BT.709
    };
    explicit Scaler(Colours colours = Colours::asIs) : m_colours(colours) {}

    // Scales `in` into `out`, whose size and format say what to make; sets up again whenever the
    // input's size or format changes. False, with the reason in error(), when refused or failed.
    bool scale(const AVFrame* in, AVFrame* out);
    const std::string& error() const { return m_error; }

private:
    bool setUp(const AVFrame* in, const AVFrame* out);
    bool fail(std::string reason);

    Colours m_colours;
    SwsPtr m_context;
    int m_in[3] = {0, 0, -1};  // width, height, format the context was made for
    int m_out[3] = {0, 0, -1};
    std::string m_error;
};

// Stream time in seconds; nullopt for AV_NOPTS_VALUE.
std::optional<double> seconds(int64_t timestamp, AVRational timeBase);

} // namespace Av
