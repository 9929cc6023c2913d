#pragma once

#include "clock/named_style.h"

#include <QList>

// The styles the product ships with.
namespace Presets {

// The style used when nothing is stored.
const ClockStyle& bold();
// The four shipped presets, in shipped order: Eclipse, Graphite, Infinity, Frog Pond. Their names
// match the shipped ensembles and taskbar themes, which pair with them by name.
const QList<NamedStyle>& builtIn();
// The shipped presets as stored (a JSON array of id, name and style).
QByteArray builtInJson();

} // namespace Presets
