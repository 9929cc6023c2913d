#pragma once

#include "taskbar/taskbar_settings.h"

#include <QDateTime>
#include <QPainter>
#include <QRectF>

// The cluster at the end of the bar: the now-playing widget, the clock and the Trash when it is
// placed next to the clock, in that order, 2 points apart.
namespace CornerClock {

// `rect` is the cluster's slot (cornerLength along the bar, the bar's thickness across it).
void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& settings, const QDateTime& moment);

// The clock alone, centred in `rect`.
void drawClock(QPainter& painter, const QRectF& rect, const TaskbarSettings& settings, const QDateTime& moment);

} // namespace CornerClock
