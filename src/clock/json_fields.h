#pragma once

#include "clock/clock_enums.h"

#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>

// Strict reads of one record's fields: a required key that is missing or of the wrong type fails,
// an optional key may be missing or null. Each read leaves its target untouched on failure.
class JsonFields
{
public:
    explicit JsonFields(QJsonObject object) : m_object(std::move(object)) {}

    bool number(const char* key, double& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        // JSON has no infinities; a value that overflowed is as unreadable as text.
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            return false;
        out = v.toDouble();
        return true;
    }
    bool boolean(const char* key, bool& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isBool())
            return false;
        out = v.toBool();
        return true;
    }
    bool string(const char* key, QString& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isString())
            return false;
        out = v.toString();
        return true;
    }
    template<typename E>
    bool enumeration(const char* key, E& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isString())
            return false;
        const auto value = enumFromRaw<E>(v.toString());
        if (!value)
            return false;
        out = *value;
        return true;
    }
    // A nested record with a static fromJson.
    template<typename R>
    bool record(const char* key, R& out) const
    {
        const auto value = R::fromJson(m_object.value(QLatin1String(key)));
        if (!value)
            return false;
        out = *value;
        return true;
    }

    bool optionalNumber(const char* key, std::optional<double>& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull()) {
            out.reset();
            return true;
        }
        double d = 0;
        if (!number(key, d))
            return false;
        out = d;
        return true;
    }
    template<typename E>
    bool optionalEnumeration(const char* key, std::optional<E>& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull()) {
            out.reset();
            return true;
        }
        E e{};
        if (!enumeration(key, e))
            return false;
        out = e;
        return true;
    }
    template<typename R>
    bool optionalRecord(const char* key, std::optional<R>& out) const
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull()) {
            out.reset();
            return true;
        }
        R r{};
        if (!record(key, r))
            return false;
        out = r;
        return true;
    }

private:
    QJsonObject m_object;
};
