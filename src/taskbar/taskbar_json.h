#pragma once

#include "clock/rgba.h"
#include "core/json_fields.h"
#include "taskbar/taskbar_enums.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <optional>
#include <type_traits>

// Plain writing of the field types the bar's records use, and the bar's enumerations for the one
// record reader (core/json_fields.h).
namespace TaskbarJson {

inline QJsonValue write(bool value) { return value; }
inline QJsonValue write(double value) { return value; }
inline QJsonValue write(const QString& value) { return value; }
inline QJsonValue write(const RGBA& value) { return value.toJson(); }
template<typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
QJsonValue write(E value)
{
    return TaskbarEnum::rawValue(value);
}

// Reading goes through the one record reader; the bar adds its enumerations.
using JsonFields::readKey;

} // namespace TaskbarJson

// The now-playing choice is read leniently: any text that is not one of its raw values means the
// full widget, so a bar written by a newer version keeps a widget rather than losing the record.
inline bool readJsonField(const QJsonValue& json, NowPlayingStyle& out)
{
    if (!json.isString())
        return false;
    out = TaskbarEnum::fromRaw<NowPlayingStyle>(json.toString()).value_or(NowPlayingStyle::full);
    return true;
}

template<typename E>
auto readJsonField(const QJsonValue& json, E& out) -> decltype(TaskbarEnum::Table<E>::cases, bool())
{
    if (!json.isString())
        return false;
    const std::optional<E> value = TaskbarEnum::fromRaw<E>(json.toString());
    if (!value)
        return false;
    out = *value;
    return true;
}

namespace TaskbarJson {

template<typename T>
void writeKey(QJsonObject& object, const QString& key, const T& value)
{
    object.insert(key, write(value));
}

template<typename T>
void writeKey(QJsonObject& object, const QString& key, const std::optional<T>& value)
{
    if (value)
        object.insert(key, write(*value));
}

// Whether a number can be written as JSON: infinities and NaN cannot.
inline bool isWritable(double value) { return std::isfinite(value); }
inline bool isWritable(const RGBA& c)
{
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}
template<typename T>
bool isWritable(const T&)
{
    return true;
}
template<typename T>
bool isWritable(const std::optional<T>& value)
{
    return !value || isWritable(*value);
}

} // namespace TaskbarJson
