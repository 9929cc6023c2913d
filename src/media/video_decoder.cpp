#include "media/video_decoder.h"

bool VideoDecoder::open(const std::string& path, int threads, bool frameThreads, const CancelFlag* cancel)
{
    m_format = Av::openInput(path, &m_error, cancel);
    if (!m_format)
        return false;
    const int index = Av::firstVideoStream(m_format.get());
    if (index < 0) {
        m_error = "the file has no video track";
        return false;
    }
    m_stream = m_format->streams[index];
    // Only the video stream is read; everything else is dropped by the demuxer.
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        if (int(i) != index)
            m_format->streams[i]->discard = AVDISCARD_ALL;

    const AVCodec* codec = avcodec_find_decoder(m_stream->codecpar->codec_id);
    if (!codec) {
        m_error = "no decoder for this video format";
        return false;
    }
    m_codec.reset(avcodec_alloc_context3(codec));
    int rc = avcodec_parameters_to_context(m_codec.get(), m_stream->codecpar);
    if (rc >= 0) {
        m_codec->thread_count = threads;
        m_codec->thread_type = frameThreads ? FF_THREAD_FRAME | FF_THREAD_SLICE : FF_THREAD_SLICE;
        m_codec->pkt_timebase = m_stream->time_base;
        rc = avcodec_open2(m_codec.get(), codec, nullptr);
    }
    if (rc < 0) {
        m_error = Av::errorText(rc);
        return false;
    }
    return true;
}

bool VideoDecoder::sendNextPacket()
{
    for (;;) {
        av_packet_unref(m_packet.get());
        const int rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc == AVERROR_EOF) {
            m_flushed = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            return true;
        }
        if (rc < 0) {
            m_error = Av::errorText(rc);
            return false;
        }
        if (m_packet->stream_index != m_stream->index)
            continue;
        const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
        // A damaged packet is skipped like a player would; the decoder resyncs at the next one.
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
            m_error = Av::errorText(sent);
            return false;
        }
        return true;
    }
}

AVFrame* VideoDecoder::next()
{
    if (!m_codec)
        return nullptr;
    for (;;) {
        av_frame_unref(m_frame.get());
        const int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == 0) {
            int64_t ts = m_frame->best_effort_timestamp;
            if (ts == AV_NOPTS_VALUE)
                ts = m_frame->pts;
            m_time = Av::seconds(ts, m_stream->time_base).value_or(m_time);
            return m_frame.get();
        }
        if (rc == AVERROR_EOF)
            return nullptr;
        if (rc != AVERROR(EAGAIN)) {
            m_error = Av::errorText(rc);
            return nullptr;
        }
        if (m_flushed || !sendNextPacket())
            return nullptr;
    }
}
