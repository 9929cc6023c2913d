#include "library/ui/card_pictures.h"

#include "brand/brand.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QString keyOf(const char* kind, QSize card, QRect area, qreal dpr, QRgb color = 0)
{
    return QStringLiteral("%1|%2x%3|%4,%5,%6x%7|%8|%9")
        .arg(QLatin1String(kind))
        .arg(card.width()).arg(card.height())
        .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())
        .arg(dpr)
        .arg(color, 8, 16, QLatin1Char('0'));
}

QPainterPath outline(QSize card)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(card)).adjusted(0.5, 0.5, -0.5, -0.5), Brand::radius, Brand::radius);
    return path;
}

QImage blank(QSize points, qreal dpr)
{
    QImage image((QSizeF(points) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

void CardPictures::keepFew()
{
    // Sizes change only when the window is resized: the old ones are not needed again soon.
    if (m_shapes.size() > 24)
        m_shapes.clear();
}

const QImage& CardPictures::coverage(QSize card, QRect area, qreal dpr)
{
    const QString key = keyOf("coverage", card, area, dpr);
    auto found = m_shapes.find(key);
    if (found != m_shapes.end())
        return *found;
    keepFew();
    QImage image = blank(area.size(), dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-area.topLeft());
    painter.fillPath(outline(card), Qt::white);
    painter.end();
    return *m_shapes.insert(key, image);
}

const QImage& CardPictures::filled(QSize card, QRect area, qreal dpr, const QColor& color)
{
    const QString key = keyOf("filled", card, area, dpr, color.rgba());
    auto found = m_shapes.find(key);
    if (found != m_shapes.end())
        return *found;
    QImage image = coverage(card, area, dpr);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(area.size())), color);
    painter.end();
    return *m_shapes.insert(key, image);
}

const QImage& CardPictures::ring(QSize card, qreal dpr, const QColor& color)
{
    const QString key = keyOf("ring", card, QRect(), dpr, color.rgba());
    auto found = m_shapes.find(key);
    if (found != m_shapes.end())
        return *found;
    keepFew();
    QImage image = blank(card, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1));
    painter.drawPath(outline(card));
    painter.end();
    return *m_shapes.insert(key, image);
}

QImage CardPictures::shaped(const QImage& picture, const QRect& source, QSize card, QRect area, qreal dpr)
{
    const QString key = keyOf("shaped", card, area, dpr) + QStringLiteral("|%1|%2,%3").arg(picture.cacheKey()).arg(source.x()).arg(source.y());
    if (const QImage* kept = m_shaped.object(key))
        return *kept;
    const QImage& mask = coverage(card, area, dpr);
    QImage image = picture.copy(source).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.size() != mask.size())
        return {};
    image.setDevicePixelRatio(dpr);
    // Premultiplied pixels take the outline's coverage by scaling all four channels.
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* cover = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        QRgb* pixel = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint alpha = qAlpha(cover[x]);
            if (alpha == 255)
                continue;
            const QRgb p = pixel[x];
            pixel[x] = qRgba(qRed(p) * alpha / 255, qGreen(p) * alpha / 255, qBlue(p) * alpha / 255, qAlpha(p) * alpha / 255);
        }
    }
    m_shaped.insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}
