#include "media/video_facts.h"

#include "media/ffmpeg_support.h"

#include <QFileInfo>

std::optional<VideoFacts> VideoFacts::read(const QString& path, QString* error, const CancelFlag* cancel)
{
    std::string reason;
    const Av::InputPtr format = Av::openInput(path.toStdString(), &reason, cancel);
    if (!format) {
        if (error)
            *error = QString::fromStdString(reason);
        return std::nullopt;
    }
    const int index = Av::firstVideoStream(format.get());
    if (index < 0) {
        if (error)
            *error = QStringLiteral("the file has no video track");
        return std::nullopt;
    }
    const AVStream* stream = format->streams[index];
    const AVCodecParameters* par = stream->codecpar;
    if (par->width <= 0 || par->height <= 0) {
        if (error)
            *error = QStringLiteral("the video track has no frame size");
        return std::nullopt;
    }

    VideoFacts facts;
    facts.naturalSize = QSize(par->width, par->height);
    facts.rotation = Av::clockwiseRotation(stream);
    facts.identityTransform = Av::isIdentity(Av::displayMatrix(stream));
    facts.displaySize = facts.rotation % 180 ? facts.naturalSize.transposed() : facts.naturalSize;

    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        facts.duration = double(format->duration) / AV_TIME_BASE;
    else if (auto d = Av::seconds(stream->duration, stream->time_base))
        facts.duration = *d;

    facts.dataRate = par->bit_rate;
    if (facts.dataRate <= 0 && facts.duration > 0)
        facts.dataRate = qint64(double(QFileInfo(path).size()) * 8 / facts.duration);

    AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        facts.frameRate = av_q2d(rate);

    if (const AVCodecDescriptor* d = avcodec_descriptor_get(par->codec_id))
        facts.codec = QString::fromLatin1(d->name);
    if (par->codec_tag) {
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(tag, par->codec_tag);
        facts.codecTag = QString::fromLatin1(tag);
    }
    facts.hasParameterSets = par->extradata_size > 0;
    facts.isQuickTimeFamily = QByteArray(format->iformat->name).contains("mov");
    facts.primaries = par->color_primaries;
    facts.transfer = par->color_trc;
    facts.matrix = par->color_space;
    return facts;
}
