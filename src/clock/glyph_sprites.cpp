#include "clock/glyph_sprites.h"

#include "clock/shadow_blur.h"
#include "clock/quarter_pixel.h"
#include "clock/shadow_canvas.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>

namespace {

// Enough for the digits, a separator and the letters of a 12-hour clock at a few sub-pixel places.
constexpr qsizetype maxSprites = 512;
// Whole lines: a day of stacked hours and minutes at a few places. Past either limit, new lines are
// drawn glyph by glyph and not kept, so a large clock keeps only some of its lines.
constexpr qsizetype maxLines = 256;
constexpr qsizetype maxLineBytes = 4 * 1024 * 1024;

} // namespace

const GlyphSprites::Sprite& GlyphSprites::sprite(const Key& key, const Line& line)
{
    auto found = m_sprites.constFind(key);
    if (found != m_sprites.cend())
        return *found;
    if (m_sprites.size() >= maxSprites) {
        m_sprites.clear();
        m_shadows.clear();
    }
    const QPainterPath path = line.face.glyphOutline(key.glyph).translated(key.phaseX / 4.0, key.phaseY / 4.0);
    const QRect bounds = path.controlPointRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    Sprite made{QImage(), bounds.topLeft()};
    if (!path.isEmpty() && !bounds.isEmpty()) {
        made.image = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        made.image.fill(Qt::transparent);
        QPainter p(&made.image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-bounds.topLeft());
        // The brush is in line coordinates; this painter's origin is the glyph's pixel.
        QBrush brush = line.brush;
        brush.setTransform(QTransform::fromTranslate(0, key.fillTop / 4.0));
        p.fillPath(path, brush);
    }
    return *m_sprites.insert(key, made);
}

const GlyphSprites::Sprite& GlyphSprites::shadow(const Key& key, const Sprite& glyph, const Blur& blur)
{
    auto found = m_shadows.constFind(key);
    if (found != m_shadows.cend())
        return *found;
    if (m_shadows.size() >= maxSprites)
        m_shadows.clear();
    const Shadow made = Shadow::of(glyph.image, blur.sigma, blur.opacity);
    return *m_shadows.insert(key, Sprite{made.image, glyph.offset + made.offset});
}

QList<GlyphSprites::Blit> GlyphSprites::blits(QPointF at, const Line& line, const Blur* blur)
{
    QList<Blit> placed;
    placed.reserve(line.glyphs.size());
    for (const FontFace::PlacedGlyph& glyph : line.glyphs) {
        const QuarterPixel pen = QuarterPixel::of(at + glyph.pen);
        const QPoint whole = pen.whole;
        const Key key{line.id, glyph.id, pen.quarters.x(), pen.quarters.y(), QuarterPixel::quartersOf(at.y() - whole.y())};
        const Sprite& drawn = sprite(key, line);
        if (drawn.image.isNull())
            continue;
        // Copies: a later insertion may move the kept sprites.
        const Sprite use = blur ? shadow(key, drawn, *blur) : drawn;
        if (!use.image.isNull())
            placed.append(Blit{whole + use.offset, use.image});
    }
    return placed;
}

template<typename Put>
void GlyphSprites::drawLayer(QPointF at, const Line& line, const Blur* blur, Put put)
{
    const QuarterPixel place = QuarterPixel::of(at);
    const QPoint whole = place.whole, phase = place.quarters;
    const QPointF inside = place.phase();

    QHash<LineKey, Sprite>& kept = blur ? m_lineShadows : m_lines;
    const LineKey key{line.id, line.text, phase.x(), phase.y()};
    auto found = line.text.isEmpty() ? kept.cend() : kept.constFind(key);
    if (found == kept.cend()) {
        const QList<Blit> placed = blits(inside, line, blur);
        QRect bounds;
        for (const Blit& blit : placed)
            bounds |= QRect(blit.at, blit.image.size());
        const qsizetype bytes = qsizetype(bounds.width()) * bounds.height() * 4;
        const auto full = [&] { return kept.size() >= maxLines || m_lineBytes + bytes > maxLineBytes; };
        if (!line.text.isEmpty() && full())
            forgetLinesOtherThan(line.id);
        if (line.text.isEmpty() || bounds.isEmpty() || full()) {
            for (const Blit& blit : placed)
                put(whole + blit.at, blit.image);
            return;
        }
        // Glyph images stack over each other, shadows add up, as they would where they are put.
        QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (blur) {
            ShadowCanvas canvas(image, -bounds.topLeft());
            for (const Blit& blit : placed)
                canvas.add(blit.at, blit.image);
        } else {
            QPainter p(&image);
            for (const Blit& blit : placed)
                p.drawImage(blit.at - bounds.topLeft(), blit.image);
        }
        m_lineBytes += image.sizeInBytes();
        found = kept.insert(key, Sprite{image, bounds.topLeft()});
    }
    put(whole + found->offset, found->image);
}

void GlyphSprites::forgetLinesOtherThan(int id)
{
    for (QHash<LineKey, Sprite>* kept : {&m_lines, &m_lineShadows}) {
        for (auto it = kept->begin(); it != kept->end();) {
            if (it.key().line == id) {
                ++it;
                continue;
            }
            m_lineBytes -= it->image.sizeInBytes();
            it = kept->erase(it);
        }
    }
}

void GlyphSprites::draw(QPainter& painter, QPointF at, const Line& line)
{
    drawLayer(at, line, nullptr, [&](QPoint pixel, const QImage& image) { painter.drawImage(pixel, image); });
}

void GlyphSprites::drawShadows(ShadowCanvas& canvas, QPointF at, const Line& line, const Blur& blur)
{
    drawLayer(at, line, &blur, [&](QPoint pixel, const QImage& image) { canvas.add(pixel, image); });
}
