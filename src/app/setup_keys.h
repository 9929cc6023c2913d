#pragma once

#include "app/parts_model.h"

#include <QString>

// The control app's settings the first-run setup reads and writes, in its standard domain.
namespace Setup {
// Set once the user has left the setup by any way out; the setup is not offered again by itself.
inline QString doneKey() { return QStringLiteral("setupDone"); }
// The user accepted that the taskbar hides the dock.
inline QString dockKey() { return PartsModel::dockKey(); }
// The user said the system's own large lock screen clock is off.
inline QString systemClockKey() { return QStringLiteral("macClockTurnedOff"); }
// The name of the privacy list that lets the taskbar keep windows above it.
inline QString accessibilityName() { return QStringLiteral("Accessibility"); }
} // namespace Setup
