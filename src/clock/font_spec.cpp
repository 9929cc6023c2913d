#include "clock/font_spec.h"

#include "clock/json_fields.h"

QJsonObject FontSpec::toJson() const
{
    QJsonObject object{{QStringLiteral("family"), family},
                       {QStringLiteral("design"), rawValue(design)},
                       {QStringLiteral("weight"), rawValue(weight)},
                       {QStringLiteral("size"), size}};
    if (width)
        object.insert(QStringLiteral("width"), *width);
    return object;
}

std::optional<FontSpec> FontSpec::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const JsonFields fields(value.toObject());
    FontSpec spec;
    if (!fields.string("family", spec.family) || !fields.enumeration("design", spec.design)
        || !fields.enumeration("weight", spec.weight) || !fields.number("size", spec.size)
        || !fields.optionalNumber("width", spec.width))
        return std::nullopt;
    return spec;
}

QJsonObject TextLook::toJson() const
{
    return QJsonObject{{QStringLiteral("font"), font.toJson()},
                       {QStringLiteral("tracking"), tracking},
                       {QStringLiteral("color"), color.toJson()},
                       {QStringLiteral("uppercase"), uppercase}};
}

std::optional<TextLook> TextLook::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const JsonFields fields(value.toObject());
    TextLook look;
    if (!fields.record("font", look.font) || !fields.number("tracking", look.tracking)
        || !fields.record("color", look.color) || !fields.boolean("uppercase", look.uppercase))
        return std::nullopt;
    return look;
}
