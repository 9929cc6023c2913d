#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

class QIODevice;

// The box tree of a QuickTime/MP4 movie header, enough to read and rewrite edit lists and
// durations. Boxes along the path moov/trak/mdia/minf/stbl and edts are parsed into children;
// every other box is kept as its raw payload and written back byte for byte.
struct MovieBox
{
    QByteArray type;        // four characters
    QByteArray payload;     // for leaves: everything after the header
    QList<MovieBox> children;
    bool container = false;

    MovieBox* child(const QByteArray& type);
    const MovieBox* child(const QByteArray& type) const;
    QList<const MovieBox*> all(const QByteArray& type) const;

    QByteArray serialized() const;
    // nullopt when the bytes do not hold exactly a well-formed run of boxes.
    static std::optional<QList<MovieBox>> parseAll(const QByteArray& bytes);
};

// A top-level box of a file, found without reading its payload.
struct TopLevelBox
{
    QByteArray type;
    qint64 offset = 0;
    qint64 size = 0; // header included
};
std::optional<QList<TopLevelBox>> topLevelBoxes(QIODevice& file);

// One entry of an edit list: `duration` in the movie timescale, `mediaTime` in the media
// timescale (-1 for an empty edit), rate 1.
struct EditSegment
{
    uint64_t duration = 0;
    int64_t mediaTime = 0;
    bool operator==(const EditSegment&) const = default;
};

// Reading and writing the few header boxes a looped movie changes.
namespace MovieHeader {

struct Times { uint32_t timescale = 0; uint64_t duration = 0; };
std::optional<Times> movieTimes(const MovieBox& mvhd);
std::optional<Times> mediaTimes(const MovieBox& mdhd);
// Version 1 (64-bit) fields are used only when a value does not fit version 0.
bool setMovieTimes(MovieBox& mvhd, Times times);
bool setTrackDuration(MovieBox& tkhd, uint64_t duration);

std::optional<QList<EditSegment>> editList(const MovieBox& elst);
MovieBox makeEditList(const QList<EditSegment>& segments);

// The handler type ("vide", "soun", "tmcd", ...) of a trak box.
QByteArray handlerType(const MovieBox& trak);
// Number of sample descriptions in a trak's stsd.
int sampleDescriptionCount(const MovieBox& trak);

} // namespace MovieHeader
