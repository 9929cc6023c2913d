#include "media/movie_looper.h"

#include "media/ffmpeg_support.h"
#include "media/movie_boxes.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cmath>
#include <cstring>

namespace {

QString workPath(const QString& destination, const QString& kind)
{
    const QFileInfo info(destination);
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.') + uuid + kind;
}

QString avFailure(const char* what, int code)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromStdString(Av::errorText(code));
}

} // namespace

namespace MovieLooper {

uint64_t repeatsFor(uint64_t clipDuration, uint32_t timescale, double minimumSeconds)
{
    if (clipDuration == 0 || timescale == 0)
        return 0;
    // Integer arithmetic: 3600 s of a 2 s clip is exactly 1800 plays, not 1801.
    const uint64_t wanted = uint64_t(std::ceil(minimumSeconds * timescale));
    return std::max<uint64_t>(1, (wanted + clipDuration - 1) / clipDuration);
}

std::optional<QString> copyVideoTrack(const QString& source, const QString& destination)
{
    std::string error;
    const Av::InputPtr input = Av::openInput(source.toStdString(), &error);
    if (!input)
        return QString::fromStdString(error);
    const int index = Av::firstVideoStream(input.get());
    if (index < 0)
        return QStringLiteral("the file has no video track");
    AVStream* in = input->streams[index];

    AVFormatContext* raw = nullptr;
    int rc = avformat_alloc_output_context2(&raw, nullptr, "mov", destination.toUtf8().constData());
    if (rc < 0 || !raw)
        return avFailure("couldn't create the movie", rc);
    const Av::OutputPtr output(raw);
    AVStream* out = avformat_new_stream(raw, nullptr);
    if (!out)
        return QStringLiteral("couldn't add the video track");
    avcodec_parameters_copy(out->codecpar, in->codecpar);
    out->codecpar->codec_tag = in->codecpar->codec_id == AV_CODEC_ID_HEVC ? MKTAG('h', 'v', 'c', '1') : 0;
    out->time_base = in->time_base;
    out->avg_frame_rate = in->avg_frame_rate;
    for (int i = 0; i < in->nb_side_data; ++i) {
        const AVPacketSideData& side = in->side_data[i];
        if (uint8_t* copy = av_stream_new_side_data(out, side.type, side.size))
            std::memcpy(copy, side.data, side.size);
    }
    rc = avio_open(&raw->pb, destination.toUtf8().constData(), AVIO_FLAG_WRITE);
    if (rc < 0)
        return avFailure("couldn't open the movie file", rc);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "write_tmcd", "0", 0);
    rc = avformat_write_header(raw, &options);
    av_dict_free(&options);
    if (rc < 0)
        return avFailure("couldn't write the movie header", rc);

    const Av::PacketPtr packet = Av::makePacket();
    for (;;) {
        rc = av_read_frame(input.get(), packet.get());
        if (rc == AVERROR_EOF)
            break;
        if (rc < 0) {
            av_write_trailer(raw);
            return avFailure("couldn't read the video", rc);
        }
        if (packet->stream_index != index) {
            av_packet_unref(packet.get());
            continue;
        }
        packet->stream_index = 0;
        packet->pos = -1;
        av_packet_rescale_ts(packet.get(), in->time_base, out->time_base);
        rc = av_interleaved_write_frame(raw, packet.get());
        if (rc < 0) {
            av_write_trailer(raw);
            return avFailure("couldn't write the movie", rc);
        }
    }
    rc = av_write_trailer(raw);
    if (rc < 0)
        return avFailure("couldn't finish the movie", rc);
    rc = avio_closep(&raw->pb);
    if (rc < 0)
        return avFailure("couldn't close the movie", rc);
    return std::nullopt;
}

std::optional<QString> repeatTrack(const QString& path, double minimumSeconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return file.errorString();
    const auto top = topLevelBoxes(file);
    if (!top)
        return QStringLiteral("the movie is damaged");
    const TopLevelBox* moovAt = nullptr;
    for (const TopLevelBox& box : *top)
        if (box.type == "moov")
            moovAt = &box;
    if (!moovAt)
        return QStringLiteral("the movie has no header");
    if (!file.seek(moovAt->offset))
        return file.errorString();
    const auto parsed = MovieBox::parseAll(file.read(moovAt->size));
    if (!parsed || parsed->size() != 1)
        return QStringLiteral("the movie header is damaged");
    MovieBox moov = parsed->first();

    MovieBox* mvhd = moov.child("mvhd");
    const auto tracks = moov.all("trak");
    if (!mvhd || tracks.size() != 1)
        return QStringLiteral("the movie must have exactly one track");
    MovieBox* trak = moov.child("trak");
    MovieBox* tkhd = trak->child("tkhd");
    MovieBox* mdia = trak->child("mdia");
    const MovieBox* mdhd = mdia ? mdia->child("mdhd") : nullptr;
    const auto movieTimes = MovieHeader::movieTimes(*mvhd);
    const auto mediaTimes = mdhd ? MovieHeader::mediaTimes(*mdhd) : std::nullopt;
    if (!tkhd || !movieTimes || !mediaTimes || mediaTimes->timescale == 0 || movieTimes->timescale == 0)
        return QStringLiteral("the movie header is damaged");
    const MovieHeader::Times media = *mediaTimes;
    const uint32_t movieScale = movieTimes->timescale;

    // The clip as the existing edit list plays it: its one non-empty edit, or the whole media.
    uint64_t clip = media.duration;
    int64_t mediaStart = 0;
    if (const MovieBox* edts = trak->child("edts"); edts && edts->child("elst")) {
        const auto segments = MovieHeader::editList(*edts->child("elst"));
        if (!segments)
            return QStringLiteral("the movie header is damaged");
        QList<EditSegment> played;
        for (const EditSegment& s : *segments)
            if (s.mediaTime >= 0)
                played.append(s);
        if (played.size() > 1)
            return QStringLiteral("the video has more than one edit");
        if (played.size() == 1) {
            mediaStart = played.first().mediaTime;
            clip = uint64_t(std::llround(double(played.first().duration) * media.timescale / movieScale));
        }
    }
    if (clip == 0)
        return QStringLiteral("the converted video is empty");

    // The movie runs on the track's own clock, so repeated edits add up without drift.
    const uint32_t timescale = media.timescale;
    const uint64_t repeats = repeatsFor(clip, timescale, minimumSeconds);
    const QList<EditSegment> segments(qsizetype(repeats), EditSegment{clip, mediaStart});
    MovieBox edts;
    edts.type = "edts";
    edts.container = true;
    edts.children.append(MovieHeader::makeEditList(segments));
    trak->children.removeIf([](const MovieBox& b) { return b.type == "edts"; });
    // The edit list sits right after the track header, where players look for it.
    qsizetype tkhdIndex = 0;
    while (trak->children[tkhdIndex].type != "tkhd")
        ++tkhdIndex;
    trak->children.insert(tkhdIndex + 1, edts);
    tkhd = trak->child("tkhd");

    const uint64_t total = repeats * clip;
    if (!MovieHeader::setMovieTimes(*mvhd, {timescale, total}) || !MovieHeader::setTrackDuration(*tkhd, total))
        return QStringLiteral("the movie header is damaged");

    // The media data does not move, so no chunk offset changes: a header that was last is
    // replaced in place; one that sat before the media is turned into free space and the new
    // header is appended.
    const QByteArray header = moov.serialized();
    const bool last = moovAt->offset + moovAt->size == file.size();
    qint64 writeAt = file.size();
    if (last) {
        writeAt = moovAt->offset;
    } else {
        if (!file.seek(moovAt->offset + 4) || file.write("free", 4) != 4)
            return file.errorString();
    }
    if (!file.seek(writeAt) || file.write(header) != header.size())
        return file.errorString();
    if (!file.resize(writeAt + header.size()))
        return file.errorString();
    if (!file.flush())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> loopIntoPlace(const QString& source, const QString& destination)
{
    const QString temporary = workPath(destination, QStringLiteral(".looped.mov"));
    auto failed = [&](const QString& message) -> std::optional<QString> {
        QFile::remove(temporary);
        return message;
    };
    if (auto error = copyVideoTrack(source, temporary))
        return failed(*error);
    if (auto error = repeatTrack(temporary))
        return failed(*error);
    QFile::remove(destination);
    if (!QFile::rename(temporary, destination))
        return failed(QStringLiteral("couldn't move the looped movie into place"));
    return std::nullopt;
}

} // namespace MovieLooper
