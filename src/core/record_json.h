#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

// The JSON conventions every record of the library shares: identifiers as canonical upper-case
// UUID text, dates as seconds since 2001-01-01 UTC, optional fields left out when absent.
namespace RecordJson {

// Seconds between 1970-01-01 and 2001-01-01 (UTC).
inline constexpr double referenceEpoch = 978307200.0;

// "8-4-4-4-12" hexadecimal text in upper case.
QString uuidText(const QUuid& id);
// Canonical 36-character UUID text (either case). Anything else, braces included, is nullopt.
std::optional<QUuid> parseUuid(QStringView text);
std::optional<QUuid> parseUuid(const QJsonValue& value);

double secondsSince2001(const QDateTime& date);
QDateTime dateFrom2001(double seconds);

// Strict field readers: nullopt when the key is missing, null or of another type. An optional
// field uses the `Optional` result: `present` false means absent (missing or null); `valid` false
// means the value is there with a wrong type, which makes the record unreadable.
template<typename T>
struct Optional
{
    bool valid = true;
    std::optional<T> value;
};

std::optional<QString> string(const QJsonObject& object, const QString& key);
std::optional<double> number(const QJsonObject& object, const QString& key);
std::optional<bool> boolean(const QJsonObject& object, const QString& key);
std::optional<QUuid> uuid(const QJsonObject& object, const QString& key);

Optional<QUuid> optionalUuid(const QJsonObject& object, const QString& key);
Optional<double> optionalNumber(const QJsonObject& object, const QString& key);
Optional<bool> optionalBoolean(const QJsonObject& object, const QString& key);
Optional<QString> optionalString(const QJsonObject& object, const QString& key);

// Writes the key only when the value is present.
void putUuid(QJsonObject& object, const QString& key, const std::optional<QUuid>& id);

QByteArray compact(const QJsonArray& array);
QByteArray compact(const QJsonObject& object);

// Decodes a whole JSON array of records; nullopt when the bytes are not an array or any element
// fails to decode.
template<typename Record>
std::optional<QList<Record>> decodeArray(const QByteArray& bytes);
std::optional<QJsonArray> parseArray(const QByteArray& bytes);
std::optional<QJsonObject> parseObject(const QByteArray& bytes);

template<typename Record>
std::optional<QList<Record>> decodeArray(const QByteArray& bytes)
{
    const std::optional<QJsonArray> array = parseArray(bytes);
    if (!array)
        return std::nullopt;
    QList<Record> records;
    records.reserve(array->size());
    for (const QJsonValue& element : *array) {
        if (!element.isObject())
            return std::nullopt;
        std::optional<Record> record = Record::fromJson(element.toObject());
        if (!record)
            return std::nullopt;
        records.append(std::move(*record));
    }
    return records;
}

template<typename Record>
QByteArray encodeArray(const QList<Record>& records)
{
    QJsonArray array;
    for (const Record& record : records)
        array.append(record.toJson());
    return compact(array);
}

} // namespace RecordJson
