#pragma once

#include "platform/notifier.h"

#include <QString>

#include <functional>

// Announces writes to a part's settings domain and reloads on other processes' announcements.
namespace SettingsSync {

// Announce that `domain` was written. Any number of calls in one main-loop turn post one notice,
// after the turn, with this process's identifier as object.
void changed(const QString& domain);

// Run `reload` (on the main thread) whenever another process announces a change of `domain`.
// The domain's settings are re-read before `reload` runs. Notices this process posted itself
// are ignored.
[[nodiscard]] NoticeToken observe(const QString& domain, std::function<void()> reload);

// Post domain + "." + command with no object. Not coalesced.
void send(const QString& command, const QString& domain);
[[nodiscard]] NoticeToken onCommand(const QString& command, const QString& domain, std::function<void()> run);

// Whether a notice with this object came from this process.
bool isOwnNotice(const std::optional<QString>& object);

} // namespace SettingsSync
