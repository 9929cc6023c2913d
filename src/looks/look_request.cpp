#include "looks/look_request.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "looks/look.h"
#include "platform/defaults.h"
#include "platform/notifier.h"

#include <QDateTime>

double LookRequest::now()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

QByteArray LookRequest::encode() const
{
    QJsonObject object {{QStringLiteral("stamp"), stamp}};
    RecordJson::putUuid(object, QStringLiteral("clockPreset"), clockPreset);
    RecordJson::putUuid(object, QStringLiteral("taskbarTheme"), taskbarTheme);
    return RecordJson::compact(object);
}

std::optional<LookRequest> LookRequest::decode(const QByteArray& bytes)
{
    const auto object = RecordJson::parseObject(bytes);
    if (!object)
        return std::nullopt;
    const auto stamp = RecordJson::number(*object, QStringLiteral("stamp"));
    const auto clock = RecordJson::optionalUuid(*object, QStringLiteral("clockPreset"));
    const auto theme = RecordJson::optionalUuid(*object, QStringLiteral("taskbarTheme"));
    if (!stamp || !clock.valid || !theme.valid)
        return std::nullopt;
    return LookRequest {clock.value, theme.value, *stamp};
}

void LookRequest::publish(Defaults& defaults) const
{
    const QByteArray bytes = encode();
    if (bytes.isEmpty())
        return;
    defaults.set(QStringLiteral("appliedLook"), bytes);
    Notifier::post(Notices::applyLook(), QString::fromUtf8(bytes));
}

std::optional<LookRequest> LookRequest::latest()
{
    Defaults& prefs = Look::paneflowPrefs();
    prefs.sync();
    const auto bytes = prefs.data(QStringLiteral("appliedLook"));
    return bytes ? decode(*bytes) : std::nullopt;
}
