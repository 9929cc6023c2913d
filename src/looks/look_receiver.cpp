#include "looks/look_receiver.h"

#include "looks/look.h"
#include "platform/defaults.h"

namespace {
const QString stampKey = QStringLiteral("lastLookStamp");
}

LookReceiver::LookReceiver(Apply apply, QObject* parent)
    : QObject(parent)
    , m_apply(std::move(apply))
{
    if (const auto stored = LookRequest::latest())
        offer(*stored);
    m_token = Notifier::observe(Look::applyNotification(), [this](const std::optional<QString>& object) {
        if (!object)
            return;
        if (const auto request = LookRequest::decode(object->toUtf8()))
            offer(*request);
    });
}

double LookReceiver::lastStamp()
{
    return Defaults::standard().real(stampKey).value_or(0.0);
}

void LookReceiver::offer(const LookRequest& request)
{
    if (!(request.stamp > lastStamp()))
        return;
    Defaults::standard().set(stampKey, request.stamp);
    m_apply(request);
}
