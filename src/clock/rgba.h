#pragma once

#include <QColor>
#include <QJsonObject>
#include <QJsonValue>

#include <optional>

// The colour record of the whole system: sRGB components and opacity, each 0 to 1.
// JSON: {"r":…, "g":…, "b":…, "a":…}; all four keys are required when decoding.
struct RGBA
{
    double r = 1;
    double g = 1;
    double b = 1;
    double a = 1;

    constexpr RGBA() = default;
    constexpr RGBA(double red, double green, double blue, double alpha = 1)
        : r(red), g(green), b(blue), a(alpha) {}
    // From a 0xRRGGBB value.
    static constexpr RGBA fromHex(quint32 hex, double alpha = 1)
    {
        return RGBA(((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha);
    }
    // The colour converted to sRGB; an invalid colour gives opaque white.
    static RGBA fromColor(const QColor& color);

    QColor color() const;
    // The colour with its opacity scaled by `opacity` (kept within 0 to 1).
    QColor color(double opacity) const;
    // Perceived brightness above one half.
    bool isLight() const { return 0.299 * r + 0.587 * g + 0.114 * b > 0.5; }

    QJsonObject toJson() const;
    // Strict per record: an object lacking any key, or with a non-number in one, gives nullopt.
    static std::optional<RGBA> fromJson(const QJsonValue& value);

    bool operator==(const RGBA&) const = default;
};
