#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// The few small line symbols the pages use ("link", "ellipsis", "photo", "clock",
// "dock.rectangle", "chevron.down", "play.rectangle", "macwindow", "trash",
// "clock.badge.exclamationmark", "hand.draw"), drawn as vector paths so they look the same on every desktop.
namespace SymbolIcon {

QIcon make(const QString& name, const QColor& colour, int size = 16);

} // namespace SymbolIcon
