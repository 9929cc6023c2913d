#pragma once

#include "core/zentrove.h"

#include <QString>

// Every session-wide notice the product posts, in one place. Owners re-export the ones they post
// under their own names (Look::applyNotification and so on).
namespace Notices {

// Page name as object; brings the control app's window to that page.
inline QString show() { return Zentrove::showNotification(); }
// LookRequest JSON as object.
inline QString applyLook() { return Zentrove::bundleID() + QStringLiteral(".applyLook"); }
// Ensemble UUID as object; the live-wallpaper part makes that ensemble current.
inline QString chooseEnsembleTheme() { return Zentrove::bundleID() + QStringLiteral(".chooseEnsembleTheme"); }
// JSON object of display UUID to ensemble UUID as object.
inline QString displayEnsemblesChanged() { return Zentrove::bundleID() + QStringLiteral(".displayEnsemblesChanged"); }
// Current wallpaper UUID (empty when none) as object.
inline QString paneflowCurrentChanged() { return Zentrove::bundleID() + QStringLiteral(".paneflow.currentChanged"); }
// "hex|edges" as object.
inline QString brandAccentChanged() { return Zentrove::bundleID() + QStringLiteral(".brand.accentChanged"); }
// "1" shown, "0" hidden.
inline QString menuBarItemChanged() { return Zentrove::bundleID() + QStringLiteral(".menuBarItemChanged"); }
// No object; posted when the stored safety list changed.
inline QString safetyChanged() { return Zentrove::bundleID() + QStringLiteral(".safetyChanged"); }
// A part's settings domain was written; the poster's identifier as object.
inline QString settingsChanged(const QString& domain) { return domain + QStringLiteral(".settingsChanged"); }
// A one-word command for a part; no object.
inline QString command(const QString& domain, const QString& command) { return domain + QLatin1Char('.') + command; }

} // namespace Notices

// Commands the control app sends to the taskbar part.
namespace TaskbarCommands {
inline QString askScreenRecording() { return QStringLiteral("askScreenRecording"); }
inline QString askAccessibility() { return QStringLiteral("askAccessibility"); }
inline QString holdOpen() { return QStringLiteral("holdOpen"); }
inline QString releaseHold() { return QStringLiteral("releaseHold"); }
} // namespace TaskbarCommands
