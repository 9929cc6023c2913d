#include "taskbar/point_canvas.h"

namespace PointCanvas {

namespace {
constexpr int dotsPerMeter = 2835; // 72 dpi
}

QImage image(QSize size)
{
    QImage canvas(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    canvas.setDotsPerMeterX(dotsPerMeter);
    canvas.setDotsPerMeterY(dotsPerMeter);
    canvas.fill(Qt::transparent);
    return canvas;
}

const QPaintDevice* device()
{
    static const QImage canvas = image(QSize(1, 1));
    return &canvas;
}

} // namespace PointCanvas
