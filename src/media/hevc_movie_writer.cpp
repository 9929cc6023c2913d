#include "media/hevc_movie_writer.h"

#include <cstring>

HevcMovieWriter::~HevcMovieWriter()
{
    // An unfinished writer still closes its file; the caller deletes what is left of it.
    if (m_output && m_headerWritten && !m_finished)
        av_write_trailer(m_output.get());
}

bool HevcMovieWriter::fail(const std::string& what, int code)
{
    m_error = code ? what + ": " + Av::errorText(code) : what;
    return false;
}

bool HevcMovieWriter::open(const std::string& path, const Settings& settings)
{
    const AVCodec* encoder = avcodec_find_encoder_by_name("libx265");
    if (!encoder)
        return fail("no HEVC encoder available", 0);
    m_codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* c = m_codec.get();
    c->width = settings.width;
    c->height = settings.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P10LE;
    c->time_base = settings.timeBase;
    c->framerate = settings.frameRate;
    c->sample_aspect_ratio = AVRational{1, 1};
    c->bit_rate = settings.bitRate;
    c->rc_max_rate = settings.maxRate;
    c->rc_buffer_size = int(settings.bufferBits);
    c->max_b_frames = 0;
    c->thread_count = settings.threads;
    c->profile = FF_PROFILE_HEVC_MAIN_10;
    // On the codec context, not only in x265's parameters: the muxer writes the container's colour
    // atom from these, the encoder the bitstream's.
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_range = AVCOL_RANGE_MPEG;
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(c->priv_data, "preset", settings.preset.c_str(), 0);
    av_opt_set(c->priv_data, "x265-params", "bframes=0:b-pyramid=0:log-level=error", 0);
    int rc = avcodec_open2(c, encoder, nullptr);
    if (rc < 0)
        return fail("couldn't start the encoder", rc);

    AVFormatContext* raw = nullptr;
    rc = avformat_alloc_output_context2(&raw, nullptr, "mov", path.c_str());
    if (rc < 0 || !raw)
        return fail("couldn't create the movie", rc);
    m_output.reset(raw);
    m_stream = avformat_new_stream(raw, nullptr);
    if (!m_stream)
        return fail("couldn't add the video track", AVERROR(ENOMEM));
    avcodec_parameters_from_context(m_stream->codecpar, c);
    m_stream->codecpar->codec_tag = MKTAG('h', 'v', 'c', '1');
    m_stream->time_base = c->time_base;
    m_stream->avg_frame_rate = settings.frameRate;
    if (!Av::isIdentity(settings.displayMatrix)) {
        uint8_t* side = av_stream_new_side_data(m_stream, AV_PKT_DATA_DISPLAYMATRIX, sizeof(int32_t) * 9);
        if (side)
            std::memcpy(side, settings.displayMatrix.data(), sizeof(int32_t) * 9);
    }
    rc = avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0)
        return fail("couldn't open the movie file", rc);
    AVDictionary* options = nullptr;
    // One track only: no timecode track even when a source carried a timecode.
    av_dict_set(&options, "write_tmcd", "0", 0);
    rc = avformat_write_header(raw, &options);
    av_dict_free(&options);
    if (rc < 0)
        return fail("couldn't write the movie header", rc);
    m_headerWritten = true;
    return true;
}

AVFrame* HevcMovieWriter::canvas()
{
    if (!m_canvas) {
        m_canvas = Av::makeFrame();
        m_canvas->format = AV_PIX_FMT_YUV420P10LE;
        m_canvas->width = m_codec->width;
        m_canvas->height = m_codec->height;
        if (av_frame_get_buffer(m_canvas.get(), 0) < 0)
            m_canvas.reset();
    }
    if (m_canvas && av_frame_make_writable(m_canvas.get()) < 0)
        return nullptr;
    return m_canvas.get();
}

bool HevcMovieWriter::drain()
{
    for (;;) {
        const int rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return fail("encoding failed", rc);
        m_packet->stream_index = m_stream->index;
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        const int written = av_interleaved_write_frame(m_output.get(), m_packet.get());
        if (written < 0)
            return fail("writing the movie failed", written);
    }
}

bool HevcMovieWriter::write(AVFrame* frame, int64_t pts)
{
    if (!m_headerWritten)
        return fail("the writer is not open", 0);
    frame->pts = pts;
    frame->color_primaries = AVCOL_PRI_BT709;
    frame->color_trc = AVCOL_TRC_BT709;
    frame->colorspace = AVCOL_SPC_BT709;
    frame->color_range = AVCOL_RANGE_MPEG;
    const int rc = avcodec_send_frame(m_codec.get(), frame);
    if (rc < 0)
        return fail("encoding failed", rc);
    ++m_frames;
    return drain();
}

bool HevcMovieWriter::finish()
{
    if (!m_headerWritten)
        return fail("the writer is not open", 0);
    int rc = avcodec_send_frame(m_codec.get(), nullptr);
    if (rc < 0 && rc != AVERROR_EOF)
        return fail("encoding failed", rc);
    if (!drain())
        return false;
    m_finished = true;
    rc = av_write_trailer(m_output.get());
    if (rc < 0)
        return fail("couldn't finish the movie", rc);
    rc = avio_closep(&m_output->pb);
    if (rc < 0)
        return fail("couldn't close the movie", rc);
    return true;
}
