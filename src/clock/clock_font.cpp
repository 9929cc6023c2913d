#include "clock/clock_font.h"

#include "core/json_fields.h"

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
    const JsonFields::Record fields(value.toObject());
    FontSpec fontSpec;
    if (!fields.read("family", fontSpec.family) || !fields.read("design", fontSpec.design)
        || !fields.read("weight", fontSpec.weight) || !fields.read("size", fontSpec.size)
        || !fields.read("width", fontSpec.width))
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
    const JsonFields::Record fields(value.toObject());
    TextLook look;
    if (!fields.read("font", look.font) || !fields.read("tracking", look.tracking)
        || !fields.read("color", look.color) || !fields.read("uppercase", look.uppercase))
        return std::nullopt;
    return look;
}
