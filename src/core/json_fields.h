#pragma once

#include "core/record_json.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QString>
#include <QUuid>

#include <cmath>
#include <optional>

// The one reader of record fields for every store. A required key that is missing or has the
// wrong type fails; an optional key may be missing or null. A number must be finite: JSON has no
// infinities, and a value that overflowed is as unreadable as text. An identifier must be
// canonical UUID text. A failed read leaves its target alone.
//
// Each type reads through a readJsonField(const QJsonValue&, T&) overload; a folder adds its own
// beside its types (enumerations, colours), and any type with a static fromJson(QJsonValue)
// returning an optional reads through that.

inline bool readJsonField(const QJsonValue& json, bool& out)
{
    if (!json.isBool())
        return false;
    out = json.toBool();
    return true;
}

inline bool readJsonField(const QJsonValue& json, double& out)
{
    if (!json.isDouble() || !std::isfinite(json.toDouble()))
        return false;
    out = json.toDouble();
    return true;
}

inline bool readJsonField(const QJsonValue& json, QString& out)
{
    if (!json.isString())
        return false;
    out = json.toString();
    return true;
}

inline bool readJsonField(const QJsonValue& json, QUuid& out)
{
    const std::optional<QUuid> id = RecordJson::parseUuid(json);
    if (!id)
        return false;
    out = *id;
    return true;
}

template<typename R>
auto readJsonField(const QJsonValue& json, R& out) -> decltype(bool(R::fromJson(json)))
{
    auto value = R::fromJson(json);
    if (!value)
        return false;
    out = std::move(*value);
    return true;
}

namespace JsonFields {

template<typename Key, typename T>
bool readKey(const QJsonObject& object, Key key, T& out)
{
    const auto it = object.constFind(key);
    return it != object.constEnd() && readJsonField(*it, out);
}

template<typename Key, typename T>
bool readKey(const QJsonObject& object, Key key, std::optional<T>& out)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it->isNull()) {
        out.reset();
        return true;
    }
    T value {};
    if (!readJsonField(*it, value))
        return false;
    out = std::move(value);
    return true;
}

// Reads of one record's fields by ASCII key.
class Record
{
public:
    explicit Record(QJsonObject object) : m_object(std::move(object)) {}
    template<typename T>
    bool read(const char* key, T& out) const
    {
        return readKey(m_object, QLatin1StringView(key), out);
    }

private:
    QJsonObject m_object;
};

} // namespace JsonFields
