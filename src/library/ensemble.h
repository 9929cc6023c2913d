#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One wallpaper with an optional lock-screen clock preset and an optional taskbar theme.
struct Ensemble
{
    QUuid id = QUuid::createUuid();
    QString name;
    QUuid wallpaper;
    std::optional<QUuid> clockPreset;
    std::optional<QUuid> taskbarTheme;
    std::optional<QString> builtIn;

    bool operator==(const Ensemble&) const = default;

    QJsonObject toJson() const;
    static std::optional<Ensemble> fromJson(const QJsonObject& object);
};
