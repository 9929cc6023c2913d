#include "library/ensemble.h"

#include "core/record_json.h"

using namespace RecordJson;

QJsonObject Ensemble::toJson() const
{
    QJsonObject object {
        {QStringLiteral("id"), uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("wallpaper"), uuidText(wallpaper)},
    };
    putUuid(object, QStringLiteral("clockPreset"), clockPreset);
    putUuid(object, QStringLiteral("taskbarTheme"), taskbarTheme);
    if (builtIn)
        object.insert(QStringLiteral("builtIn"), *builtIn);
    return object;
}

std::optional<Ensemble> Ensemble::fromJson(const QJsonObject& object)
{
    const auto id = uuid(object, QStringLiteral("id"));
    const auto name = string(object, QStringLiteral("name"));
    const auto wallpaper = uuid(object, QStringLiteral("wallpaper"));
    const auto clock = optionalUuid(object, QStringLiteral("clockPreset"));
    const auto taskbar = optionalUuid(object, QStringLiteral("taskbarTheme"));
    const auto builtIn = optionalString(object, QStringLiteral("builtIn"));
    if (!id || !name || !wallpaper || !clock.valid || !taskbar.valid || !builtIn.valid)
        return std::nullopt;
    return Ensemble {*id, *name, *wallpaper, clock.value, taskbar.value, builtIn.value};
}
