#include "clock/glyph_shape.h"

#include <QFontMetricsF>

QPainterPath GlyphShape::path() const
{
    if (font.covers(text))
        return font.outline(text, QPointF(inset, inset), tracking);
    // Characters the face lacks (digits of another script, say) come from Qt's font fallback.
    QFont fallback = font.qtFont();
    fallback.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    QPainterPath path;
    path.addText(QPointF(inset, inset + QFontMetricsF(fallback).ascent()), fallback, text);
    return path;
}

QSizeF GlyphShape::size() const
{
    if (font.covers(text))
        return QSizeF(font.advance(text, tracking) + 2 * inset, font.ascent() + font.descent() + 2 * inset);
    QFont fallback = font.qtFont();
    fallback.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    const QFontMetricsF metrics(fallback);
    return QSizeF(metrics.horizontalAdvance(text) + 2 * inset, metrics.ascent() + metrics.descent() + 2 * inset);
}
