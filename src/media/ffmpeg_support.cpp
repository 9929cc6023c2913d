#include "media/ffmpeg_support.h"

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

InputPtr openInput(const std::string& path, std::string* error)
{
    AVFormatContext* raw = nullptr;
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

std::optional<double> seconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return std::nullopt;
    return double(timestamp) * av_q2d(timeBase);
}

} // namespace Av
