#pragma once

#include "media/ffmpeg_support.h"

#include <array>
#include <cstdint>
#include <string>

// Encodes 10-bit 4:2:0 frames with x265 (HEVC Main 10, BT.709, no frame reordering) into a
// QuickTime movie with one video track tagged 'hvc1'.
class HevcMovieWriter
{
public:
    struct Settings
    {
        int width = 0;
        int height = 0;
        AVRational timeBase{1, 600};  // of the pts given to write()
        AVRational frameRate{30, 1};  // nominal, guides the rate control
        int64_t bitRate = 10'000'000; // average, bits per second
        int64_t maxRate = 15'000'000; // peak over `bufferBits`
        int64_t bufferBits = 15'000'000;
        std::string preset = "superfast";
        int threads = 0;              // 0: x265 picks (all cores)
        std::array<int32_t, 9> displayMatrix{0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    };

    HevcMovieWriter() = default;
    HevcMovieWriter(const HevcMovieWriter&) = delete;
    HevcMovieWriter& operator=(const HevcMovieWriter&) = delete;
    ~HevcMovieWriter();

    bool open(const std::string& path, const Settings& settings);
    // A frame of the output size and format for the caller to fill (reused between calls).
    AVFrame* canvas();
    // Encodes `frame` (yuv420p10le at the output size) shown at `pts` (in Settings::timeBase).
    bool write(AVFrame* frame, int64_t pts);
    // Drains the encoder and writes the movie header. The file is complete only after this.
    bool finish();
    const std::string& error() const { return m_error; }
    int64_t framesWritten() const { return m_frames; }

private:
    bool drain();
    bool fail(const std::string& what, int code);

    Av::CodecPtr m_codec;
    Av::OutputPtr m_output;
    Av::FramePtr m_canvas;
    Av::PacketPtr m_packet = Av::makePacket();
    AVStream* m_stream = nullptr;
    bool m_headerWritten = false;
    bool m_finished = false;
    int64_t m_frames = 0;
    std::string m_error;
};
