#pragma once

#include "platform/font_face.h"

class ShadowCanvas;

#include <QBrush>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>

// Filled glyphs drawn once and kept as small images, with their shadows: a new minute copies the
// digits it has shown before instead of filling and blurring their outlines again. Glyphs are
// placed to a quarter of a pixel. Lines that come back (the hours and minutes of a stacked clock)
// are also kept whole, so they cost one copy instead of one per glyph.
class GlyphSprites
{
public:
    // A line's glyphs in a face, and how they are filled: `brush` is given in the line's own
    // coordinates and may change only from top to bottom. `id` stands for the face, the fill and
    // the blur of the shadows: lines that differ in any of them have different ids.
    struct Line
    {
        FontFace face;
        QList<FontFace::PlacedGlyph> glyphs; // placed from the line's top-left
        QBrush brush;
        int id = 0;
        // What the glyphs spell when the line is worth keeping whole; empty otherwise.
        QString text = {};
    };
    // A shadow's blur in pixels and its opacity.
    struct Blur
    {
        double sigma = 0;
        double opacity = 0;
    };

    // Draws the line with its top-left at `at`, in device pixels (the painter only translates by
    // whole pixels).
    void draw(QPainter& painter, QPointF at, const Line& line);
    // Adds the shadows of the same glyphs to the canvas.
    void drawShadows(ShadowCanvas& canvas, QPointF at, const Line& line, const Blur& blur);

    qsizetype size() const { return m_sprites.size() + m_shadows.size(); }
    qsizetype keptLines() const { return m_lines.size() + m_lineShadows.size(); }

private:
    struct Key
    {
        int line = 0;
        unsigned glyph = 0;
        int phaseX = 0; // quarters of a pixel
        int phaseY = 0;
        int fillTop = 0; // quarters of a pixel from the line's top to the glyph's pixel row
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed)
    {
        return qHashMulti(seed, key.line, key.glyph, key.phaseX, key.phaseY, key.fillTop);
    }
    struct LineKey
    {
        int line = 0;
        QString text;
        int phaseX = 0; // quarters of a pixel
        int phaseY = 0;
        bool operator==(const LineKey&) const = default;
    };
    friend size_t qHash(const LineKey& key, size_t seed)
    {
        return qHashMulti(seed, key.line, key.text, key.phaseX, key.phaseY);
    }
    struct Sprite
    {
        QImage image;
        QPoint offset; // of the image's top-left from the glyph's whole-pixel position
    };
    // A kept image placed in the painter's pixels.
    struct Blit
    {
        QPoint at;
        QImage image;
    };

    // The glyph images (or with `blur`, their shadows) of the line at `at`.
    QList<Blit> blits(QPointF at, const Line& line, const Blur* blur);
    const Sprite& sprite(const Key& key, const Line& line);
    const Sprite& shadow(const Key& key, const Sprite& glyph, const Blur& blur);
    // Puts the line's glyph images (or shadows, with `blur`) at their pixels through `put`.
    template<typename Put>
    void drawLayer(QPointF at, const Line& line, const Blur* blur, Put put);
    // Makes room for the lines of face, fill and blur `id` when another one has filled the store.
    void forgetLinesOtherThan(int id);

    QHash<Key, Sprite> m_sprites;
    QHash<Key, Sprite> m_shadows;
    QHash<LineKey, Sprite> m_lines;
    QHash<LineKey, Sprite> m_lineShadows;
    qsizetype m_lineBytes = 0;
};
