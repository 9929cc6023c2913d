#include "media/dynamic_picture.h"

#include "media/heif_file.h"
#include "platform/appearance.h"
#include "platform/property_list.h"

#include <QCoreApplication>
#include <QPointer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

const QLatin1String desktopPrefix("apple_desktop");

// Property lists store these numbers as reals, integers or (in some files) strings.
std::optional<double> number(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        const double parsed = value.toString().trimmed().toDouble(&ok);
        // "nan" and "inf" read as numbers too, and no index or hour can come from them.
        return ok && std::isfinite(parsed) ? std::optional(parsed) : std::nullopt;
    }
    bool ok = false;
    const double converted = value.toDouble(&ok);
    return ok && std::isfinite(converted) ? std::optional(converted) : std::nullopt;
}

std::optional<int> index(const QVariant& value)
{
    const auto n = number(value);
    if (!n || *n < 0 || *n > 1e6)
        return std::nullopt;
    return int(*n);
}

double wrapHour(double hour)
{
    double h = std::fmod(hour, 24.0);
    if (h < 0)
        h += 24;
    // A tiny negative hour rounds up to 24 itself, which is midnight.
    return h < 24 ? h : 0;
}

QString solarLabel(double altitude, double azimuth)
{
    const bool morning = azimuth < 180;
    if (altitude < -12)
        return QStringLiteral("Night");
    if (altitude < 0)
        return morning ? QStringLiteral("Dawn") : QStringLiteral("Dusk");
    if (altitude < 10)
        return morning ? QStringLiteral("Sunrise") : QStringLiteral("Sunset");
    if (altitude < 35)
        return morning ? QStringLiteral("Morning") : QStringLiteral("Afternoon");
    return QStringLiteral("Midday");
}

void addTag(QVariantMap& tags, const QString& name, const QString& base64)
{
    const auto decoded = QByteArray::fromBase64Encoding(base64.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return;
    const auto list = PropertyList::parse(decoded.decoded);
    if (list && list->typeId() == QMetaType::QVariantMap)
        tags.insert(name, *list);
}

} // namespace

QString DynamicPicture::changesWith() const
{
    return kind == Kind::appearance ? QStringLiteral("Light/Dark") : QStringLiteral("Time of day");
}

QVariantMap DynamicPicture::tagsFromXmp(const QByteArray& xmp)
{
    QVariantMap tags;
    QXmlStreamReader reader(xmp);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        // The short form keeps values in attributes of rdf:Description...
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            if (attribute.prefix() == desktopPrefix)
                addTag(tags, attribute.name().toString(), attribute.value().toString());
        // ...the long form in elements of their own.
        if (reader.prefix() == desktopPrefix) {
            const QString name = reader.name().toString();
            const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements);
            addTag(tags, name, text);
        }
    }
    return tags;
}

std::optional<DynamicPicture> DynamicPicture::fromTags(const QVariantMap& tags)
{
    DynamicPicture picture;
    const QVariantMap solar = tags.value(QStringLiteral("solar")).toMap();
    const QVariantList solarFrames = solar.value(QStringLiteral("si")).toList();
    const QVariantMap h24 = tags.value(QStringLiteral("h24")).toMap();

    if (!solarFrames.isEmpty()) {
        for (const QVariant& entry : solarFrames) {
            const QVariantMap item = entry.toMap();
            const auto i = index(item.value(QStringLiteral("i")));
            if (!i)
                continue;
            const double altitude = number(item.value(QStringLiteral("a"))).value_or(0);
            const double azimuth = number(item.value(QStringLiteral("z"))).value_or(0);
            picture.frames.append({*i, solarLabel(altitude, azimuth), wrapHour(azimuth / 15)});
        }
    } else if (h24.contains(QStringLiteral("ti"))) {
        for (const QVariant& entry : h24.value(QStringLiteral("ti")).toList()) {
            const QVariantMap item = entry.toMap();
            const auto i = index(item.value(QStringLiteral("i")));
            if (!i)
                continue;
            const double hour = wrapHour(number(item.value(QStringLiteral("t"))).value_or(0) * 24);
            const int minutes = int(std::floor(hour * 60 + 1e-6));
            picture.frames.append({*i, QString::asprintf("%d:%02d", minutes / 60, minutes % 60), hour});
        }
    } else if (tags.contains(QStringLiteral("apr"))) {
        picture.kind = Kind::appearance;
        const QVariantMap apr = tags.value(QStringLiteral("apr")).toMap();
        if (const auto light = index(apr.value(QStringLiteral("l"))))
            picture.frames.append({*light, QStringLiteral("Light"), std::nullopt});
        if (const auto dark = index(apr.value(QStringLiteral("d"))))
            picture.frames.append({*dark, QStringLiteral("Dark"), std::nullopt});
    }

    if (picture.kind == Kind::timeOfDay)
        std::stable_sort(picture.frames.begin(), picture.frames.end(),
                         [](const Frame& a, const Frame& b) { return a.hour.value_or(0) < b.hour.value_or(0); });
    if (picture.frames.isEmpty())
        return std::nullopt;
    return picture;
}

std::optional<DynamicPicture> DynamicPicture::read(const QString& path)
{
    if (!HeifFile::looksLikeHeif(path))
        return std::nullopt;
    const auto file = HeifFile::open(path);
    if (!file)
        return std::nullopt;
    QVariantMap tags;
    for (const QByteArray& packet : file->xmp(0))
        tags.insert(tagsFromXmp(packet));
    return fromTags(tags);
}

std::optional<DynamicPicture::Frame> DynamicPicture::current(bool dark, std::optional<QTime> now) const
{
    if (frames.isEmpty())
        return std::nullopt;
    if (kind == Kind::appearance) {
        const QString wanted = dark ? QStringLiteral("Dark") : QStringLiteral("Light");
        for (const Frame& frame : frames)
            if (frame.label == wanted)
                return frame;
        return frames.first();
    }
    const double hour = now ? now->hour() + now->minute() / 60.0 : 12.0;
    const Frame* best = nullptr;
    double bestDistance = 0;
    for (const Frame& frame : frames) {
        const double difference = std::abs(frame.hour.value_or(0) - hour);
        const double distance = std::min(difference, 24 - difference);
        if (!best || distance < bestDistance) {
            best = &frame;
            bestDistance = distance;
        }
    }
    return *best;
}

std::optional<DynamicPicture::Frame> DynamicPicture::current(const Appearance& appearance) const
{
    // The desktop's preference, not this process's widget palette: a part without windows, or an
    // app styled dark by its own choice, still follows what the user picked for the desktop.
    return current(appearance.isDark().value_or(false), QTime::currentTime());
}

std::optional<DynamicPicture::Frame> DynamicPicture::current() const
{
    static QPointer<Appearance> desktop;
    if (!desktop && QCoreApplication::instance())
        desktop = new Appearance(QCoreApplication::instance());
    return desktop ? current(*desktop) : current(false, QTime::currentTime());
}
