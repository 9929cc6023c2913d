#pragma once

#include "taskbar/taskbar_settings.h"

#include <QPainterPath>
#include <QRectF>

// The outline of the bar: rounded on all corners, only on the two corners facing away from the
// screen edge, or square, as the settings say.
namespace BarShape {

QPainterPath path(const QRectF& rect, const TaskbarSettings& settings);

// A rectangle with its own radius per corner (top-left, top-right, bottom-right, bottom-left, in
// image coordinates), each kept within half the shorter side.
QPainterPath unevenRoundedRect(const QRectF& rect, double topLeft, double topRight, double bottomRight,
                               double bottomLeft);

} // namespace BarShape
