#include "clock/clock_font.h"

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
    FontSpec fontSpec;
    if (!fields.string("family", fontSpec.family) || !fields.enumeration("design", fontSpec.design)
        || !fields.enumeration("weight", fontSpec.weight) || !fields.number("size", fontSpec.size)
        || !fields.optionalNumber("width", fontSpec.width))
        return std::nullopt;
    return fontSpec;
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
