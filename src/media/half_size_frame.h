#pragma once

#include "media/ffmpeg_support.h"

#include <array>

// A planar 4:2:0 frame at half its width and height, each pixel the mean of the 2x2 block it
// covers. Taking a big frame down by whole halves this way costs a fraction of a general scaler
// and looks the same: at these ratios a bilinear scaler averages the same pixels.
class HalfSizeFrame
{
public:
    // 8-bit planar 4:2:0 with width and height multiples of 4 (so the halves stay whole 4:2:0).
    static bool canHalve(const AVFrame* frame);

    // `frame` at half size; owned by this object and overwritten by the next call. Null when the
    // frame cannot be halved or no memory is left.
    const AVFrame* halve(const AVFrame* frame);

private:
    Av::FramePtr m_half;
};

// A frame halved as often as it stays at least a target's size (up to three times: 8K down to
// 960x540), for a scaler to take the rest of the way.
class FrameHalvings
{
public:
    // `frame` itself when no halving applies; otherwise a frame owned by this object, valid until
    // the next call.
    const AVFrame* towards(const AVFrame* frame, int width, int height);

private:
    std::array<HalfSizeFrame, 3> m_halves;
};
