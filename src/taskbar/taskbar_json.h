#pragma once

#include "clock/rgba.h"
#include "taskbar/taskbar_enums.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <optional>
#include <type_traits>

// Strict reading and plain writing of the field types the bar's records use. A read returns false
// when the value has the wrong type (or, for an enumeration, a text that is not a raw value); the
// target is left alone then.
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

inline bool read(const QJsonValue& json, bool& out)
{
    if (!json.isBool())
        return false;
    out = json.toBool();
    return true;
}

inline bool read(const QJsonValue& json, double& out)
{
    if (!json.isDouble())
        return false;
    out = json.toDouble();
    return true;
}

inline bool read(const QJsonValue& json, QString& out)
{
    if (!json.isString())
        return false;
    out = json.toString();
    return true;
}

inline bool read(const QJsonValue& json, RGBA& out)
{
    const std::optional<RGBA> colour = RGBA::fromJson(json);
    if (!colour)
        return false;
    out = *colour;
    return true;
}

// The now-playing choice is read leniently: any text that is not one of its raw values means the
// full widget, so a bar written by a newer version keeps a widget rather than losing the record.
inline bool read(const QJsonValue& json, NowPlayingStyle& out)
{
    if (!json.isString())
        return false;
    out = TaskbarEnum::fromRaw<NowPlayingStyle>(json.toString()).value_or(NowPlayingStyle::full);
    return true;
}

template<typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
bool read(const QJsonValue& json, E& out)
{
    if (!json.isString())
        return false;
    const std::optional<E> value = TaskbarEnum::fromRaw<E>(json.toString());
    if (!value)
        return false;
    out = *value;
    return true;
}

// A required key: missing or unreadable fails.
template<typename T>
bool readKey(const QJsonObject& object, const QString& key, T& out)
{
    const auto it = object.constFind(key);
    return it != object.constEnd() && read(*it, out);
}

// An optional key: missing or null gives none; present but unreadable fails.
template<typename T>
bool readKey(const QJsonObject& object, const QString& key, std::optional<T>& out)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it->isNull()) {
        out.reset();
        return true;
    }
    T value {};
    if (!read(*it, value))
        return false;
    out = value;
    return true;
}

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
