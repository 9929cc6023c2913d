#include "clock/glyph_sprites.h"

#include "clock/shadow_blur.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>

namespace {

// Enough for the digits, a separator and the letters of a 12-hour clock at a few sub-pixel places.
constexpr qsizetype maxSprites = 512;

int quarters(double value) { return int(std::floor(value * 4 + 0.5)); }

} // namespace

template<typename Use>
void GlyphSprites::forEachGlyph(QPointF at, const Line& line, Use use)
{
    for (const FontFace::PlacedGlyph& glyph : line.glyphs) {
        const int penX = quarters(at.x() + glyph.pen.x());
        const int penY = quarters(at.y() + glyph.pen.y());
        const QPoint whole(int(std::floor(penX / 4.0)), int(std::floor(penY / 4.0)));
        const Key key{line.id, glyph.id, penX - whole.x() * 4, penY - whole.y() * 4, quarters(at.y() - whole.y())};
        auto found = m_sprites.constFind(key);
        if (found == m_sprites.cend()) {
            if (m_sprites.size() >= maxSprites) {
                m_sprites.clear();
                m_shadows.clear();
            }
            const QPainterPath path = line.face.glyphOutline(glyph.id).translated(key.phaseX / 4.0, key.phaseY / 4.0);
            const QRect bounds = path.controlPointRect().toAlignedRect().adjusted(-1, -1, 1, 1);
            Sprite sprite{QImage(), bounds.topLeft()};
            if (!path.isEmpty() && !bounds.isEmpty()) {
                sprite.image = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
                sprite.image.fill(Qt::transparent);
                QPainter p(&sprite.image);
                p.setRenderHint(QPainter::Antialiasing);
                p.translate(-bounds.topLeft());
                // The brush is in line coordinates; this painter's origin is the glyph's pixel.
                QBrush brush = line.brush;
                brush.setTransform(QTransform::fromTranslate(0, key.fillTop / 4.0));
                p.fillPath(path, brush);
            }
            found = m_sprites.insert(key, sprite);
        }
        if (!found->image.isNull())
            use(Placed{&*found, whole, key});
    }
}

void GlyphSprites::draw(QPainter& painter, QPointF at, const Line& line)
{
    forEachGlyph(at, line, [&](const Placed& placed) {
        painter.drawImage(placed.whole + placed.sprite->offset, placed.sprite->image);
    });
}

void GlyphSprites::drawShadows(QPainter& painter, QPointF at, const Line& line, const Blur& blur)
{
    forEachGlyph(at, line, [&](const Placed& placed) {
        const Key& key = placed.key;
        auto found = m_shadows.constFind(key);
        if (found == m_shadows.cend()) {
            if (m_shadows.size() >= maxSprites)
                m_shadows.clear();
            const Shadow shadow = Shadow::of(placed.sprite->image, blur.sigma, blur.opacity);
            found = m_shadows.insert(key, Sprite{shadow.image, placed.sprite->offset + shadow.offset});
        }
        if (!found->image.isNull())
            painter.drawImage(placed.whole + found->offset, found->image);
    });
}
