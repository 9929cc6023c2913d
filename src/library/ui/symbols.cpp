#include "library/ui/symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void draw(QPainter& p, const QString& name, const QColor& color, qreal s)
{
    QPen pen(color, std::max(1.2, s / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("magnifyingglass")) {
        p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.56, s * 0.56));
        p.drawLine(QPointF(s * 0.60, s * 0.60), QPointF(s * 0.88, s * 0.88));
    } else if (name == QLatin1String("xmark.circle.fill")) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
        QPen cross(QColor(0, 0, 0, 200), std::max(1.4, s / 10), Qt::SolidLine, Qt::RoundCap);
        p.setPen(cross);
        p.drawLine(QPointF(s * 0.36, s * 0.36), QPointF(s * 0.64, s * 0.64));
        p.drawLine(QPointF(s * 0.64, s * 0.36), QPointF(s * 0.36, s * 0.64));
    } else if (name == QLatin1String("slider.horizontal.3")) {
        const qreal ys[] = {0.25, 0.5, 0.75};
        const qreal knobs[] = {0.65, 0.35, 0.55};
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(s * 0.1, s * ys[i]), QPointF(s * 0.9, s * ys[i]));
            p.setBrush(color);
            p.drawEllipse(QPointF(s * knobs[i], s * ys[i]), s * 0.08, s * 0.08);
            p.setBrush(Qt::NoBrush);
        }
    } else if (name == QLatin1String("film.stack")) {
        p.drawRoundedRect(QRectF(s * 0.22, s * 0.10, s * 0.56, s * 0.08), s * 0.03, s * 0.03);
        p.drawRoundedRect(QRectF(s * 0.14, s * 0.22, s * 0.72, s * 0.08), s * 0.03, s * 0.03);
        const QRectF film(s * 0.06, s * 0.36, s * 0.88, s * 0.54);
        p.drawRoundedRect(film, s * 0.06, s * 0.06);
        for (int i = 0; i < 4; ++i) {
            const qreal x = film.left() + s * 0.1 + i * s * 0.22;
            p.drawLine(QPointF(x, film.top() + s * 0.07), QPointF(x + s * 0.06, film.top() + s * 0.07));
            p.drawLine(QPointF(x, film.bottom() - s * 0.07), QPointF(x + s * 0.06, film.bottom() - s * 0.07));
        }
    } else if (name == QLatin1String("chevron.left")) {
        p.drawPolyline(QPolygonF({QPointF(s * 0.62, s * 0.2), QPointF(s * 0.34, s * 0.5), QPointF(s * 0.62, s * 0.8)}));
    } else if (name == QLatin1String("chevron.right")) {
        p.drawPolyline(QPolygonF({QPointF(s * 0.38, s * 0.2), QPointF(s * 0.66, s * 0.5), QPointF(s * 0.38, s * 0.8)}));
    } else if (name == QLatin1String("chevron.down")) {
        p.drawPolyline(QPolygonF({QPointF(s * 0.2, s * 0.38), QPointF(s * 0.5, s * 0.66), QPointF(s * 0.8, s * 0.38)}));
    }
}

} // namespace

namespace Symbols {

QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, name, color, size);
    return pixmap;
}

QIcon icon(const QString& name, const QColor& color, int size)
{
    QIcon icon;
    icon.addPixmap(pixmap(name, color, size, 1.0));
    icon.addPixmap(pixmap(name, color, size, 2.0));
    return icon;
}

} // namespace Symbols
