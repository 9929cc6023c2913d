#include "app/status_line.h"

#include "platform/desktop_words.h"

StatusLine StatusLine::of(std::optional<LoginItemStatus> status, bool running, const std::optional<StandDown>& standDown)
{
    switch (status.value_or(LoginItemStatus::notRegistered)) {
    case LoginItemStatus::enabled:
        if (running)
            return {QStringLiteral("Running"), {}, Dot::ok, Action::none};
        if (standDown)
            return {QStringLiteral("Paused"), standDown->reason, Dot::warning, standDown->crashed ? Action::tryAgain : Action::none};
        return {QStringLiteral("Quit · starts again at login"), {}, Dot::warning, Action::startNow};
    case LoginItemStatus::requiresApproval:
        return {DesktopWords::current().fill(u"Needs your OK in {loginItems}"), {}, Dot::warning, Action::openLoginItems};
    case LoginItemStatus::notFound:
        return {QStringLiteral("Missing from the app. Reinstall Zentrove."), {}, Dot::failure, Action::none};
    case LoginItemStatus::notRegistered:
        break;
    }
    if (running)
        return {QStringLiteral("Running, not started at login"), {}, Dot::accent, Action::none};
    return {QStringLiteral("Off"), {}, Dot::unlit, Action::none};
}

QString StatusLine::actionTitle(Action action)
{
    switch (action) {
    case Action::startNow: return QStringLiteral("Start now");
    case Action::tryAgain: return QStringLiteral("Try again");
    case Action::openLoginItems: return QStringLiteral("Open");
    case Action::none: break;
    }
    return {};
}
