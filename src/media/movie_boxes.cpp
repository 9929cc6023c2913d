#include "media/movie_boxes.h"

#include <QIODevice>
#include <QtEndian>

#include <limits>

namespace {

bool isContainer(const QByteArray& type)
{
    static const QList<QByteArray> containers{"moov", "trak", "mdia", "minf", "stbl", "edts"};
    return containers.contains(type);
}

uint32_t be32(const char* p) { return qFromBigEndian<uint32_t>(p); }
uint64_t be64(const char* p) { return qFromBigEndian<uint64_t>(p); }

void put32(QByteArray& out, uint32_t value)
{
    char buffer[4];
    qToBigEndian(value, buffer);
    out.append(buffer, 4);
}
void put64(QByteArray& out, uint64_t value)
{
    char buffer[8];
    qToBigEndian(value, buffer);
    out.append(buffer, 8);
}

constexpr uint64_t max32 = std::numeric_limits<uint32_t>::max();
constexpr int maxDepth = 16;

std::optional<QList<MovieBox>> parseRun(const QByteArray& bytes, int depth)
{
    if (depth > maxDepth)
        return std::nullopt;
    QList<MovieBox> boxes;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            return std::nullopt;
        uint64_t size = be32(bytes.constData() + at);
        MovieBox box;
        box.type = bytes.mid(at + 4, 4);
        qsizetype header = 8;
        if (size == 1) {
            if (bytes.size() - at < 16)
                return std::nullopt;
            size = be64(bytes.constData() + at + 8);
            header = 16;
        } else if (size == 0) {
            size = uint64_t(bytes.size() - at);
        }
        if (size < uint64_t(header) || size > uint64_t(bytes.size() - at))
            return std::nullopt;
        const QByteArray payload = bytes.mid(at + header, qsizetype(size) - header);
        if (isContainer(box.type)) {
            auto children = parseRun(payload, depth + 1);
            if (!children)
                return std::nullopt;
            box.container = true;
            box.children = *children;
        } else {
            box.payload = payload;
        }
        boxes.append(box);
        at += qsizetype(size);
    }
    return boxes;
}

} // namespace

MovieBox* MovieBox::child(const QByteArray& t)
{
    for (MovieBox& box : children)
        if (box.type == t)
            return &box;
    return nullptr;
}

const MovieBox* MovieBox::child(const QByteArray& t) const
{
    for (const MovieBox& box : children)
        if (box.type == t)
            return &box;
    return nullptr;
}

QList<const MovieBox*> MovieBox::all(const QByteArray& t) const
{
    QList<const MovieBox*> found;
    for (const MovieBox& box : children)
        if (box.type == t)
            found.append(&box);
    return found;
}

QByteArray MovieBox::serialized() const
{
    QByteArray body;
    if (container) {
        for (const MovieBox& box : children)
            body += box.serialized();
    } else {
        body = payload;
    }
    QByteArray out;
    const uint64_t size = uint64_t(body.size()) + 8;
    if (size > max32) {
        put32(out, 1);
        out += type;
        put64(out, size + 8);
    } else {
        put32(out, uint32_t(size));
        out += type;
    }
    return out + body;
}

std::optional<QList<MovieBox>> MovieBox::parseAll(const QByteArray& bytes)
{
    return parseRun(bytes, 0);
}

std::optional<QList<TopLevelBox>> topLevelBoxes(QIODevice& file)
{
    QList<TopLevelBox> boxes;
    const qint64 end = file.size();
    qint64 at = 0;
    while (at < end) {
        if (!file.seek(at))
            return std::nullopt;
        const QByteArray header = file.read(16);
        if (header.size() < 8)
            return std::nullopt;
        uint64_t size = be32(header.constData());
        if (size == 1) {
            if (header.size() < 16)
                return std::nullopt;
            size = be64(header.constData() + 8);
        } else if (size == 0) {
            size = uint64_t(end - at);
        }
        if (size < 8 || size > uint64_t(end - at))
            return std::nullopt;
        boxes.append({header.mid(4, 4), at, qint64(size)});
        at += qint64(size);
    }
    return boxes;
}

namespace MovieHeader {

std::optional<Times> movieTimes(const MovieBox& mvhd)
{
    const QByteArray& p = mvhd.payload;
    if (p.size() < 4)
        return std::nullopt;
    if (p[0] == 1) {
        if (p.size() < 32)
            return std::nullopt;
        return Times{be32(p.constData() + 20), be64(p.constData() + 24)};
    }
    if (p.size() < 20)
        return std::nullopt;
    return Times{be32(p.constData() + 12), be32(p.constData() + 16)};
}

std::optional<Times> mediaTimes(const MovieBox& mdhd)
{
    // mdhd starts like mvhd: version, flags, two dates, timescale, duration.
    return movieTimes(mdhd);
}

bool setMovieTimes(MovieBox& mvhd, Times times)
{
    QByteArray& p = mvhd.payload;
    const auto old = movieTimes(mvhd);
    if (!old)
        return false;
    const bool wide = p[0] == 1;
    if (!wide && times.duration > max32) {
        // Widen to version 1: dates and duration become 64-bit, the rest follows unchanged.
        QByteArray widened;
        widened.append(char(1));
        widened.append(p.mid(1, 3));
        put64(widened, be32(p.constData() + 4));
        put64(widened, be32(p.constData() + 8));
        put32(widened, times.timescale);
        put64(widened, times.duration);
        widened.append(p.mid(20));
        p = widened;
        return true;
    }
    if (wide) {
        qToBigEndian(times.timescale, p.data() + 20);
        qToBigEndian(times.duration, p.data() + 24);
    } else {
        qToBigEndian(times.timescale, p.data() + 12);
        qToBigEndian(uint32_t(times.duration), p.data() + 16);
    }
    return true;
}

bool setTrackDuration(MovieBox& tkhd, uint64_t duration)
{
    QByteArray& p = tkhd.payload;
    if (p.size() < 4)
        return false;
    const bool wide = p[0] == 1;
    if (wide) {
        if (p.size() < 36)
            return false;
        qToBigEndian(duration, p.data() + 28);
        return true;
    }
    if (p.size() < 24)
        return false;
    if (duration <= max32) {
        qToBigEndian(uint32_t(duration), p.data() + 20);
        return true;
    }
    QByteArray widened;
    widened.append(char(1));
    widened.append(p.mid(1, 3));
    put64(widened, be32(p.constData() + 4));
    put64(widened, be32(p.constData() + 8));
    widened.append(p.mid(12, 8)); // track id, reserved
    put64(widened, duration);
    widened.append(p.mid(24));
    p = widened;
    return true;
}

std::optional<QList<EditSegment>> editList(const MovieBox& elst)
{
    const QByteArray& p = elst.payload;
    if (p.size() < 8)
        return std::nullopt;
    const bool wide = p[0] == 1;
    const uint32_t count = be32(p.constData() + 4);
    const qsizetype entry = wide ? 20 : 12;
    if (uint64_t(p.size() - 8) < uint64_t(count) * uint64_t(entry))
        return std::nullopt;
    QList<EditSegment> segments;
    for (uint32_t i = 0; i < count; ++i) {
        const char* e = p.constData() + 8 + qsizetype(i) * entry;
        if (wide)
            segments.append({be64(e), int64_t(be64(e + 8))});
        else
            segments.append({be32(e), int32_t(be32(e + 4))});
    }
    return segments;
}

MovieBox makeEditList(const QList<EditSegment>& segments)
{
    bool wide = false;
    for (const EditSegment& s : segments)
        wide = wide || s.duration > max32 || s.mediaTime > int64_t(std::numeric_limits<int32_t>::max());
    MovieBox box;
    box.type = "elst";
    QByteArray& p = box.payload;
    put32(p, wide ? 0x01000000u : 0u);
    put32(p, uint32_t(segments.size()));
    p.reserve(8 + segments.size() * (wide ? 20 : 12));
    for (const EditSegment& s : segments) {
        if (wide) {
            put64(p, s.duration);
            put64(p, uint64_t(s.mediaTime));
        } else {
            put32(p, uint32_t(s.duration));
            put32(p, uint32_t(int32_t(s.mediaTime)));
        }
        put32(p, 0x00010000); // rate 1.0
    }
    return box;
}

QByteArray handlerType(const MovieBox& trak)
{
    const MovieBox* mdia = trak.child("mdia");
    const MovieBox* hdlr = mdia ? mdia->child("hdlr") : nullptr;
    if (!hdlr || hdlr->payload.size() < 12)
        return {};
    return hdlr->payload.mid(8, 4);
}

int sampleDescriptionCount(const MovieBox& trak)
{
    const MovieBox* mdia = trak.child("mdia");
    const MovieBox* minf = mdia ? mdia->child("minf") : nullptr;
    const MovieBox* stbl = minf ? minf->child("stbl") : nullptr;
    const MovieBox* stsd = stbl ? stbl->child("stsd") : nullptr;
    if (!stsd || stsd->payload.size() < 8)
        return 0;
    return int(be32(stsd->payload.constData() + 4));
}

} // namespace MovieHeader
