#include "brand/ui/rounded_picture.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

void paintRoundedPicture(QWidget& widget, const QImage& picture, const QSize& area, double radius)
{
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(area)), radius, radius);
    painter.setClipPath(clip);
    painter.drawImage(QPointF(0, 0), picture);
}
