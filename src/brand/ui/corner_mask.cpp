#include "brand/ui/corner_mask.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

void CornerMask::make(int radius, qreal dpr, const QColor& behind)
{
    const int side = int(std::ceil(radius * dpr));
    QImage corner(side, side, QImage::Format_ARGB32_Premultiplied);
    corner.fill(behind);
    {
        // The outline's arc, drawn as the rounded rectangle of the whole picture would be.
        QPainter painter(&corner);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.scale(dpr, dpr);
        QPainterPath inside;
        inside.addRoundedRect(QRectF(0, 0, 4.0 * radius, 4.0 * radius), radius, radius);
        painter.fillPath(inside, Qt::transparent);
    }
    corner.setDevicePixelRatio(dpr);
    m_corners[0] = corner;
    m_corners[1] = corner.mirrored(true, false);
    m_corners[2] = corner.mirrored(false, true);
    m_corners[3] = corner.mirrored(true, true);
    for (QImage& image : m_corners)
        image.setDevicePixelRatio(dpr);
    m_radius = radius;
    m_dpr = dpr;
    m_behind = behind;
}

void CornerMask::paint(QPainter& painter, const QRect& rect, int radius, const QColor& behind)
{
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (radius <= 0)
        return;
    if (radius != m_radius || dpr != m_dpr || behind != m_behind)
        make(radius, dpr, behind);
    painter.drawImage(rect.topLeft(), m_corners[0]);
    painter.drawImage(QPoint(rect.right() + 1 - radius, rect.top()), m_corners[1]);
    painter.drawImage(QPoint(rect.left(), rect.bottom() + 1 - radius), m_corners[2]);
    painter.drawImage(QPoint(rect.right() + 1 - radius, rect.bottom() + 1 - radius), m_corners[3]);
}
