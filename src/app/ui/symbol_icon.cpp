#include "app/ui/symbol_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void draw(QPainter& p, const QString& name, double s)
{
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("ellipsis")) {
        const QColor colour = p.pen().color();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(s * (0.22 + 0.28 * i), s / 2), s * 0.075, s * 0.075);
    } else if (name == QLatin1String("link")) {
        p.save();
        p.translate(s / 2, s / 2);
        p.rotate(-45);
        p.drawRoundedRect(QRectF(-s * 0.42, -s * 0.14, s * 0.46, s * 0.28), s * 0.14, s * 0.14);
        p.drawRoundedRect(QRectF(-s * 0.04, -s * 0.14, s * 0.46, s * 0.28), s * 0.14, s * 0.14);
        p.restore();
    } else if (name == QLatin1String("photo")) {
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.2, s * 0.8, s * 0.6), s * 0.1, s * 0.1);
        QPainterPath hills;
        hills.moveTo(s * 0.16, s * 0.72);
        hills.lineTo(s * 0.4, s * 0.46);
        hills.lineTo(s * 0.56, s * 0.62);
        hills.lineTo(s * 0.66, s * 0.52);
        hills.lineTo(s * 0.84, s * 0.72);
        p.drawPath(hills);
        p.drawEllipse(QPointF(s * 0.68, s * 0.36), s * 0.05, s * 0.05);
    } else if (name == QLatin1String("clock")) {
        p.drawEllipse(QPointF(s / 2, s / 2), s * 0.38, s * 0.38);
        p.drawLine(QPointF(s / 2, s / 2), QPointF(s / 2, s * 0.28));
        p.drawLine(QPointF(s / 2, s / 2), QPointF(s * 0.66, s * 0.58));
    } else if (name == QLatin1String("dock.rectangle")) {
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.16, s * 0.8, s * 0.68), s * 0.1, s * 0.1);
        p.drawLine(QPointF(s * 0.1, s * 0.66), QPointF(s * 0.9, s * 0.66));
        for (int i = 0; i < 3; ++i)
            p.drawPoint(QPointF(s * (0.32 + 0.18 * i), s * 0.75));
    } else if (name == QLatin1String("play.rectangle")) {
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.2, s * 0.8, s * 0.6), s * 0.1, s * 0.1);
        QPainterPath play;
        play.moveTo(s * 0.42, s * 0.37);
        play.lineTo(s * 0.62, s * 0.5);
        play.lineTo(s * 0.42, s * 0.63);
        play.closeSubpath();
        p.drawPath(play);
    } else if (name == QLatin1String("macwindow")) {
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.18, s * 0.8, s * 0.64), s * 0.1, s * 0.1);
        p.drawLine(QPointF(s * 0.1, s * 0.36), QPointF(s * 0.9, s * 0.36));
    } else if (name == QLatin1String("trash")) {
        p.drawLine(QPointF(s * 0.18, s * 0.26), QPointF(s * 0.82, s * 0.26));
        p.drawLine(QPointF(s * 0.4, s * 0.26), QPointF(s * 0.42, s * 0.14));
        p.drawLine(QPointF(s * 0.42, s * 0.14), QPointF(s * 0.58, s * 0.14));
        p.drawLine(QPointF(s * 0.58, s * 0.14), QPointF(s * 0.6, s * 0.26));
        QPainterPath can;
        can.moveTo(s * 0.26, s * 0.26);
        can.lineTo(s * 0.3, s * 0.86);
        can.lineTo(s * 0.7, s * 0.86);
        can.lineTo(s * 0.74, s * 0.26);
        p.drawPath(can);
    } else if (name == QLatin1String("clock.badge.exclamationmark")) {
        p.drawArc(QRectF(s * 0.1, s * 0.14, s * 0.68, s * 0.68), 100 * 16, 250 * 16);
        p.drawLine(QPointF(s * 0.44, s * 0.48), QPointF(s * 0.44, s * 0.3));
        p.drawLine(QPointF(s * 0.44, s * 0.48), QPointF(s * 0.56, s * 0.56));
        p.drawLine(QPointF(s * 0.8, s * 0.1), QPointF(s * 0.8, s * 0.42));
        p.drawPoint(QPointF(s * 0.8, s * 0.56));
    } else if (name == QLatin1String("hand.draw")) {
        // A pointing hand, for something the user finishes by hand.
        QPainterPath hand;
        hand.moveTo(s * 0.3, s * 0.9);
        hand.lineTo(s * 0.22, s * 0.56);
        hand.lineTo(s * 0.34, s * 0.5);
        hand.lineTo(s * 0.4, s * 0.6);
        hand.lineTo(s * 0.4, s * 0.16);
        hand.quadTo(s * 0.47, s * 0.08, s * 0.54, s * 0.16);
        hand.lineTo(s * 0.54, s * 0.44);
        hand.lineTo(s * 0.76, s * 0.5);
        hand.quadTo(s * 0.82, s * 0.54, s * 0.8, s * 0.62);
        hand.lineTo(s * 0.72, s * 0.9);
        p.drawPath(hand);
    } else if (name == QLatin1String("chevron.down")) {
        QPainterPath v;
        v.moveTo(s * 0.25, s * 0.4);
        v.lineTo(s * 0.5, s * 0.64);
        v.lineTo(s * 0.75, s * 0.4);
        p.drawPath(v);
    }
}

} // namespace

QIcon SymbolIcon::make(const QString& name, const QColor& colour, int size)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(colour, size * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        draw(painter, name, size);
        icon.addPixmap(pixmap);
    }
    return icon;
}
