#include "clock/shadow_canvas.h"

#include <QRect>

#include <algorithm>
#include <cmath>

ShadowCanvas::ShadowCanvas(QImage& image, QPoint origin) : m_image(image), m_origin(origin)
{
}

void ShadowCanvas::setOpacity(double opacity)
{
    m_opacity = std::isfinite(opacity) ? std::clamp(opacity, 0.0, 1.0) : 0.0;
}

void ShadowCanvas::add(QPoint at, const QImage& shadow)
{
    if (shadow.isNull() || m_image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QImage source = shadow.format() == QImage::Format_ARGB32_Premultiplied
        ? shadow
        : shadow.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QPoint topLeft = at + m_origin;
    const QRect area = QRect(topLeft, source.size()) & m_image.rect();
    if (area.isEmpty())
        return;
    // As QPainter adds at an opacity: the sum, capped, blended over what was there in 1/256 steps.
    const unsigned scale = unsigned(std::lround(m_opacity * 256));
    if (scale == 0)
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y - topLeft.y())) + (area.left() - topLeft.x());
        auto* to = reinterpret_cast<QRgb*>(m_image.scanLine(y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const unsigned was = qAlpha(to[x]);
            const unsigned sum = std::min(255u, was + qAlpha(from[x]));
            to[x] = QRgb((sum * scale + was * (256 - scale)) >> 8) << 24;
        }
    }
}
