#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

class Appearance;

// A HEIC picture holding several images that change with the time of day or with the light and
// dark appearance, as described by the property lists in its XMP metadata.
struct DynamicPicture
{
    enum class Kind { appearance, timeOfDay };

    struct Frame
    {
        int index = 0;             // image index inside the file
        QString label;
        std::optional<double> hour; // 0 up to 24
        bool operator==(const Frame&) const = default;
    };

    Kind kind = Kind::timeOfDay;
    QList<Frame> frames;

    QString changesWith() const;

    // nullopt for files without such metadata (plain or unreadable pictures).
    static std::optional<DynamicPicture> read(const QString& path);
    // The same from the property lists already taken out of the metadata, by tag name.
    static std::optional<DynamicPicture> fromTags(const QVariantMap& tags);
    // Tag name -> decoded property list of every desktop tag in one XMP packet.
    static QVariantMap tagsFromXmp(const QByteArray& xmp);

    // The frame shown for this appearance and time; nullopt when there are no frames.
    std::optional<Frame> current(bool dark, std::optional<QTime> now) const;
    // The same for the desktop's light or dark preference (light while it is not known) and the
    // local time now.
    std::optional<Frame> current(const Appearance& appearance) const;
    // The same with the process's own watcher of that preference, made on first use (main
    // thread only; until the desktop has answered, light is assumed).
    std::optional<Frame> current() const;

    bool operator==(const DynamicPicture&) const = default;
};
