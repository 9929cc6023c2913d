#include "library/ensemble_changing.h"

#include "core/record_json.h"

#include <QJsonArray>

using namespace RecordJson;

QString EnsembleChanging::rawValue(Mode mode)
{
    switch (mode) {
    case Mode::never: return QStringLiteral("never");
    case Mode::daily: return QStringLiteral("daily");
    case Mode::appearance: return QStringLiteral("appearance");
    }
    return {};
}

std::optional<EnsembleChanging::Mode> EnsembleChanging::modeFromRawValue(const QString& raw)
{
    for (Mode mode : {Mode::never, Mode::daily, Mode::appearance}) {
        if (rawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

QJsonObject EnsembleChanging::toJson() const
{
    QJsonArray deckArray;
    for (const QUuid& id : deck)
        deckArray.append(uuidText(id));
    QJsonObject object {
        {QStringLiteral("mode"), rawValue(mode)},
        {QStringLiteral("deck"), deckArray},
    };
    putUuid(object, QStringLiteral("lightEnsemble"), lightEnsemble);
    putUuid(object, QStringLiteral("darkEnsemble"), darkEnsemble);
    if (lastChange)
        object.insert(QStringLiteral("lastChange"), secondsSince2001(*lastChange));
    if (setForDark)
        object.insert(QStringLiteral("setForDark"), *setForDark);
    return object;
}

std::optional<EnsembleChanging> EnsembleChanging::fromJson(const QJsonObject& object)
{
    const auto modeText = string(object, QStringLiteral("mode"));
    const auto mode = modeText ? modeFromRawValue(*modeText) : std::nullopt;
    const auto light = optionalUuid(object, QStringLiteral("lightEnsemble"));
    const auto dark = optionalUuid(object, QStringLiteral("darkEnsemble"));
    const auto lastChange = optionalNumber(object, QStringLiteral("lastChange"));
    const auto setForDark = optionalBoolean(object, QStringLiteral("setForDark"));
    const QJsonValue deckValue = object.value(QStringLiteral("deck"));
    if (!mode || !light.valid || !dark.valid || !lastChange.valid || !setForDark.valid || !deckValue.isArray())
        return std::nullopt;
    EnsembleChanging changing;
    changing.mode = *mode;
    changing.lightEnsemble = light.value;
    changing.darkEnsemble = dark.value;
    for (const QJsonValue& element : deckValue.toArray()) {
        const auto id = parseUuid(element);
        if (!id)
            return std::nullopt;
        changing.deck.append(*id);
    }
    if (lastChange.value)
        changing.lastChange = dateFrom2001(*lastChange.value);
    changing.setForDark = setForDark.value;
    return changing;
}

QByteArray EnsembleChanging::encode() const
{
    return compact(toJson());
}

std::optional<EnsembleChanging> EnsembleChanging::decode(const QByteArray& bytes)
{
    const auto object = parseObject(bytes);
    return object ? fromJson(*object) : std::nullopt;
}
