#pragma once

#include "platform/notifier.h"
#include "platform/screens.h"

#include <QMap>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

// Display UUID text to the ensemble that display shows of its own. A display without an entry
// (and the main display, always) shows the current ensemble.
using DisplayMap = QMap<QString, QUuid>;

namespace DisplayEnsembles {

QString changed();

// The stored map; empty unless the stored value is a dictionary of strings. Values that are not
// UUID text are dropped.
DisplayMap saved();
// Stores the map in the live-wallpaper part's domain and posts it to every process.
void save(const DisplayMap& map);
// Runs `handler` with each map another process (or this one) posts. Payloads that are not a JSON
// object of strings are ignored.
[[nodiscard]] NoticeToken observe(std::function<void(const DisplayMap&)> handler);

std::optional<ScreenInfo> mainScreen();
// The ensemble the display shows of its own, if any.
std::optional<QUuid> ownEnsemble(const ScreenInfo& screen, const DisplayMap& map);

// The posted form of a map and its reader, on their own.
QString encode(const DisplayMap& map);
std::optional<DisplayMap> decode(const QString& text);

} // namespace DisplayEnsembles
