#include "library/wallpaper.h"

#include "core/record_json.h"

using namespace RecordJson;

QJsonObject Wallpaper::toJson() const
{
    QJsonObject object {
        {QStringLiteral("id"), uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("fileName"), fileName},
        {QStringLiteral("addedAt"), secondsSince2001(addedAt)},
    };
    putUuid(object, QStringLiteral("clockPreset"), clockPreset);
    putUuid(object, QStringLiteral("taskbarTheme"), taskbarTheme);
    if (builtIn)
        object.insert(QStringLiteral("builtIn"), *builtIn);
    return object;
}

std::optional<Wallpaper> Wallpaper::fromJson(const QJsonObject& object)
{
    const auto id = uuid(object, QStringLiteral("id"));
    const auto name = string(object, QStringLiteral("name"));
    const auto fileName = string(object, QStringLiteral("fileName"));
    const auto addedAt = number(object, QStringLiteral("addedAt"));
    const auto clock = optionalUuid(object, QStringLiteral("clockPreset"));
    const auto taskbar = optionalUuid(object, QStringLiteral("taskbarTheme"));
    const auto builtIn = optionalString(object, QStringLiteral("builtIn"));
    if (!id || !name || !fileName || !addedAt || !clock.valid || !taskbar.valid || !builtIn.valid)
        return std::nullopt;
    return Wallpaper {*id, *name, *fileName, dateFrom2001(*addedAt), clock.value, taskbar.value, builtIn.value};
}
