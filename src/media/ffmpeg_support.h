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
InputPtr openInput(const std::string& path, std::string* error = nullptr);

// Index of the first video stream that is not a cover picture, or -1.
int firstVideoStream(const AVFormatContext* format);

// The 3x3 display matrix of a stream (identity when it carries none).
std::array<int32_t, 9> displayMatrix(const AVStream* stream);
bool isIdentity(const std::array<int32_t, 9>& matrix);
// Clockwise rotation in whole degrees (0, 90, 180 or 270) the player applies to show the frames.
int clockwiseRotation(const AVStream* stream);

// Stream time in seconds; nullopt for AV_NOPTS_VALUE.
std::optional<double> seconds(int64_t timestamp, AVRational timeBase);

} // namespace Av
