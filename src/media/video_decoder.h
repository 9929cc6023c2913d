#pragma once

#include "media/ffmpeg_support.h"

#include <string>

// Decodes the first video stream of a file frame by frame: open, send packets, receive frames,
// and at the end flush the decoder with a null packet. Frames come out in presentation order with
// their time in seconds (edit lists already applied by the demuxer).
class VideoDecoder
{
public:
    // threads = 0 lets FFmpeg pick (one per core). Frame threading decodes several frames at once:
    // best for throughput, but it delays the first frame, so one-frame readers turn it off.
    // With a cancel flag, reads give up (and next() ends with an error) once it is set.
    bool open(const std::string& path, int threads = 0, bool frameThreads = true, const CancelFlag* cancel = nullptr);
    const std::string& error() const { return m_error; }

    AVFormatContext* format() const { return m_format.get(); }
    AVStream* stream() const { return m_stream; }
    AVCodecContext* codec() const { return m_codec.get(); }

    // The next decoded frame, or nullptr at the end or on an error (error() tells which).
    // The frame stays valid until the next call.
    AVFrame* next();
    // Presentation time of the frame last returned, in seconds.
    double time() const { return m_time; }
    bool failed() const { return !m_error.empty(); }

private:
    bool sendNextPacket();

    Av::InputPtr m_format;
    Av::CodecPtr m_codec;
    Av::PacketPtr m_packet = Av::makePacket();
    Av::FramePtr m_frame = Av::makeFrame();
    AVStream* m_stream = nullptr;
    bool m_flushed = false;
    double m_time = 0;
    std::string m_error;
};
