#pragma once

#include <QCache>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>

// The rounded parts of a wallpaper card, made once and then copied. Qt's raster engine hands every
// large antialiased or clipped fill to its thread pool and waits for it; on a busy machine each
// hand-over costs the interface thread a wait for a core, so a grid painting three such fills per
// card stalls while it scrolls. Copying a ready image stays on the interface thread.
//
// Every image is in device pixels with the device pixel ratio set, to be drawn at a card's (or its
// area's) top left.
class CardPictures
{
public:
    // A card of `card` size (points) filled with `color` inside its rounded outline, over `area`
    // (card coordinates): the whole card for its background, its top for a missing picture.
    const QImage& filled(QSize card, QRect area, qreal dpr, const QColor& color);
    // The card's outline, a one-point line of `color`.
    const QImage& ring(QSize card, qreal dpr, const QColor& color);
    // `source` of `picture` (exactly `area`'s size in pixels) cut to the card's outline over `area`.
    // Kept while the picture is kept, so a card scrolled past and back costs nothing.
    QImage shaped(const QImage& picture, const QRect& source, QSize card, QRect area, qreal dpr);

    static constexpr qint64 maxShapedBytes = 16ll * 1024 * 1024;

private:
    // How much of each pixel of `area` the card's rounded outline covers (alpha only).
    const QImage& coverage(QSize card, QRect area, qreal dpr);
    void keepFew();

    QHash<QString, QImage> m_shapes;
    QCache<QString, QImage> m_shaped{int(maxShapedBytes / 1024)}; // cost in KB
};
