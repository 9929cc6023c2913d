#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One item of the library: a video or picture, the user's own or a shipped one.
struct Wallpaper
{
    QUuid id;
    QString name;
    QString fileName;
    QDateTime addedAt = QDateTime::currentDateTimeUtc();
    std::optional<QUuid> clockPreset;
    std::optional<QUuid> taskbarTheme;
    // Tag of a shipped wallpaper; its media lies in the app's shipped folder, not in "Videos".
    std::optional<QString> builtIn;

    bool operator==(const Wallpaper&) const = default;

    QJsonObject toJson() const;
    // nullopt when a required field is missing or has the wrong type.
    static std::optional<Wallpaper> fromJson(const QJsonObject& object);
};
