#pragma once

#include "clock/clock_style.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// A clock preset: a named style. Presets that came from a shipped one carry its name in `builtIn`.
struct NamedStyle
{
    QUuid id;
    QString name;
    ClockStyle style;
    std::optional<QString> builtIn;

    QJsonObject toJson() const;
    // nullopt unless "id" is UUID text, "name" a string and "style" an object that decodes
    // tolerantly; "builtIn" is kept when it is a string.
    static std::optional<NamedStyle> fromJson(const QJsonValue& value);

    bool operator==(const NamedStyle&) const = default;
};

namespace NamedStyles {

// A JSON array of presets; elements that do not read are dropped one by one. Not an array: empty.
QList<NamedStyle> read(const QByteArray& data);
QByteArray write(const QList<NamedStyle>& presets);

} // namespace NamedStyles
