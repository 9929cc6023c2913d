#pragma once

#include <QImage>
#include <QPaintDevice>
#include <QSize>

// Images at 72 dots per inch, where one point is one pixel: the bar's sizes are in points, and
// text measured or drawn here agrees with the geometry without conversion.
namespace PointCanvas {

// A transparent ARGB image of `size` pixels, at 72 dpi.
QImage image(QSize size);
// A 72-dpi device for measuring text.
const QPaintDevice* device();

} // namespace PointCanvas
