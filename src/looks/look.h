#pragma once

#include "core/notices.h"
#include "looks/named_ref.h"

#include <QList>
#include <QString>

class Defaults;

// Where looks and the shared library settings live, and the presets and themes to pair with.
namespace Look {

inline QString applyNotification() { return Notices::applyLook(); }
inline QString wallpaperChanged() { return Notices::paneflowCurrentChanged(); }

inline QString paneflowDomain() { return Zentrove::paneflowID(); }
// The live-wallpaper part's settings domain, from whichever process asks.
Defaults& paneflowPrefs();

// Presets in the clock part's domain ("customPresets") and themes in the taskbar part's ("themes").
QList<NamedRef> clockPresets();
QList<NamedRef> taskbarThemes();

} // namespace Look
