#include "clock/rgba.h"

#include <QColorSpace>

#include <algorithm>

RGBA RGBA::fromColor(const QColor& color)
{
    if (!color.isValid())
        return RGBA();
    // A QColor in RGB form is sRGB already; the other forms (HSV, CMYK, HSL, extended) convert into it.
    const QColor rgb = color.spec() == QColor::Rgb ? color : color.toRgb();
    if (!rgb.isValid())
        return RGBA();
    return RGBA(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

QColor RGBA::color() const
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

QColor RGBA::color(double opacity) const
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(std::clamp(a * opacity, 0.0, 1.0)));
}

QJsonObject RGBA::toJson() const
{
    return QJsonObject{{QStringLiteral("r"), r}, {QStringLiteral("g"), g}, {QStringLiteral("b"), b}, {QStringLiteral("a"), a}};
}

std::optional<RGBA> RGBA::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    double parts[4];
    const char* keys[4] = {"r", "g", "b", "a"};
    for (int i = 0; i < 4; ++i) {
        const QJsonValue part = object.value(QLatin1String(keys[i]));
        if (!part.isDouble())
            return std::nullopt;
        parts[i] = part.toDouble();
    }
    return RGBA(parts[0], parts[1], parts[2], parts[3]);
}
