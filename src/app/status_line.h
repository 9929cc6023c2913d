#pragma once

#include "app/safety_service.h"
#include "platform/login_items.h"

#include <QString>

#include <optional>

// The one line under a part that says what state it is in, with its dot and its action link.
struct StatusLine
{
    enum class Dot {
        unlit,   // off
        accent,  // lit in the accent colour
        ok,
        warning,
        failure,
    };
    enum class Action {
        none,
        startNow,           // start the part now
        tryAgain,           // forget the stand-down, then start the part
        openLoginItems,     // open the desktop's start-up settings
    };

    QString text;
    QString detail; // the stand-down reason, shown under the line; empty otherwise
    Dot dot = Dot::unlit;
    Action action = Action::none;

    bool operator==(const StatusLine&) const = default;

    // `status` is absent when the part's login item was never read.
    static StatusLine of(std::optional<LoginItemStatus> status, bool running, const std::optional<StandDown>& standDown);
    static QString actionTitle(Action action);
};
