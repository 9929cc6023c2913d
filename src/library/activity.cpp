#include "library/activity.h"

#include "core/record_json.h"

using namespace RecordJson;

QString Activity::rawValue(State state)
{
    switch (state) {
    case State::running: return QStringLiteral("running");
    case State::done: return QStringLiteral("done");
    case State::failed: return QStringLiteral("failed");
    }
    return {};
}

std::optional<Activity::State> Activity::stateFromRawValue(const QString& raw)
{
    for (State state : {State::running, State::done, State::failed}) {
        if (rawValue(state) == raw)
            return state;
    }
    return std::nullopt;
}

QJsonObject Activity::toJson() const
{
    QJsonObject object {
        {QStringLiteral("id"), uuidText(id)},
        {QStringLiteral("title"), title},
        {QStringLiteral("detail"), detail},
        {QStringLiteral("state"), rawValue(state)},
    };
    if (progress)
        object.insert(QStringLiteral("progress"), *progress);
    return object;
}

std::optional<Activity> Activity::fromJson(const QJsonObject& object)
{
    const auto id = uuid(object, QStringLiteral("id"));
    const auto title = string(object, QStringLiteral("title"));
    const auto detail = string(object, QStringLiteral("detail"));
    const auto progress = optionalNumber(object, QStringLiteral("progress"));
    const auto stateText = string(object, QStringLiteral("state"));
    const auto state = stateText ? stateFromRawValue(*stateText) : std::nullopt;
    if (!id || !title || !detail || !progress.valid || !state)
        return std::nullopt;
    return Activity {*id, *title, *detail, progress.value, *state};
}
