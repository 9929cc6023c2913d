#include "core/record_json.h"

#include "core/json_fields.h"

#include <QJsonDocument>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

// ASCII only, whatever the locale says.
bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

namespace RecordJson {

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(QStringView text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < 36; ++i) {
        const QChar c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != QLatin1Char('-'))
                return std::nullopt;
        } else if (!isHexDigit(c.unicode())) {
            return std::nullopt;
        }
    }
    return QUuid::fromString(text);
}

std::optional<QUuid> parseUuid(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return parseUuid(QStringView(value.toString()));
}

double secondsSince2001(const QDateTime& date)
{
    return double(date.toMSecsSinceEpoch()) / 1000.0 - referenceEpoch;
}

QDateTime dateFrom2001(double seconds)
{
    const double ms = std::round((seconds + referenceEpoch) * 1000.0);
    // Beyond what QDateTime holds: clamp rather than wrap.
    constexpr double limit = 8.0e15;
    return QDateTime::fromMSecsSinceEpoch(qint64(std::clamp(ms, -limit, limit)), Qt::UTC);
}

std::optional<QString> string(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<double> number(const QJsonObject& object, const QString& key)
{
    double value = 0;
    if (!readJsonField(object.value(key), value))
        return std::nullopt;
    return value;
}

std::optional<bool> boolean(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<QUuid> uuid(const QJsonObject& object, const QString& key)
{
    return parseUuid(object.value(key));
}

namespace {
bool isAbsent(const QJsonValue& value)
{
    return value.isUndefined() || value.isNull();
}
} // namespace

Optional<QUuid> optionalUuid(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (isAbsent(value))
        return {};
    if (!value.isString())
        return {false, std::nullopt};
    // Text that is not a UUID counts as absent.
    return {true, parseUuid(QStringView(value.toString()))};
}

Optional<double> optionalNumber(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (isAbsent(value))
        return {};
    double number = 0;
    if (!readJsonField(value, number))
        return {false, std::nullopt};
    return {true, number};
}

Optional<bool> optionalBoolean(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (isAbsent(value))
        return {};
    if (!value.isBool())
        return {false, std::nullopt};
    return {true, value.toBool()};
}

Optional<QString> optionalString(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (isAbsent(value))
        return {};
    if (!value.isString())
        return {false, std::nullopt};
    return {true, value.toString()};
}

void putUuid(QJsonObject& object, const QString& key, const std::optional<QUuid>& id)
{
    if (id)
        object.insert(key, uuidText(*id));
}

QByteArray compact(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QJsonArray> parseArray(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    return document.array();
}

std::optional<QJsonObject> parseObject(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace RecordJson
