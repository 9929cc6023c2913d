#include "clock/named_style.h"

#include "core/record_json.h"

#include <QJsonArray>
#include <QJsonDocument>

QJsonObject NamedStyle::toJson() const
{
    QJsonObject object{{QStringLiteral("id"), RecordJson::uuidText(id)},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("style"), style.toJson()}};
    if (builtIn)
        object.insert(QStringLiteral("builtIn"), *builtIn);
    return object;
}

std::optional<NamedStyle> NamedStyle::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue name = object.value(QStringLiteral("name"));
    const QJsonValue style = object.value(QStringLiteral("style"));
    if (!id.isString() || !name.isString() || !style.isObject())
        return std::nullopt;
    const std::optional<QUuid> uuid = RecordJson::parseUuid(id);
    if (!uuid)
        return std::nullopt;
    const auto decoded = ClockStyle::decode(style.toObject());
    if (!decoded)
        return std::nullopt;
    NamedStyle preset{*uuid, name.toString(), *decoded, std::nullopt};
    if (const QJsonValue builtIn = object.value(QStringLiteral("builtIn")); builtIn.isString())
        preset.builtIn = builtIn.toString();
    return preset;
}

QList<NamedStyle> NamedStyles::read(const QByteArray& data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    QList<NamedStyle> presets;
    if (!document.isArray())
        return presets;
    const QJsonArray array = document.array();
    for (const QJsonValue& element : array) {
        if (auto preset = NamedStyle::fromJson(element))
            presets.append(*preset);
    }
    return presets;
}

QByteArray NamedStyles::write(const QList<NamedStyle>& presets)
{
    QJsonArray array;
    for (const NamedStyle& preset : presets)
        array.append(preset.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}
