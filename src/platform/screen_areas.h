#pragma once

#include <QRect>
#include <QtGlobal>

#include <optional>

// Where each connected display sits on the whole desktop, in points, by the display id the
// Screens seam gives it. The screens watch says when these change too.
namespace ScreenAreas {

// nullopt for a display that is not connected (or a console process without screens).
std::optional<QRect> of(quint32 displayID);

// Replaces the system's areas for this process (tests, together with a Screens override);
// nullopt restores them.
void setOverride(std::optional<QHash<quint32, QRect>> areas);

} // namespace ScreenAreas
