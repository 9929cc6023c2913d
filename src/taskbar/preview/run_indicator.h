#pragma once

#include "taskbar/taskbar_settings.h"

#include <QPainter>
#include <QRectF>

// The mark under a running app: a pill, a dot or an underline, on the side of the tile that faces
// the screen edge, in the indicator's tint.
namespace RunIndicator {

// The rectangle the indicator takes for a tile, or an empty one for style "none". `icon` is the
// icon's rectangle inside the tile; indicatorGap, when set, is the distance from the icon.
QRectF rect(const TaskbarSettings& settings, const QRectF& tile, const QRectF& icon);

void draw(QPainter& painter, const TaskbarSettings& settings, const QRectF& tile, const QRectF& icon, const RGBA& tint);

} // namespace RunIndicator
