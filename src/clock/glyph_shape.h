#pragma once

#include "platform/font_face.h"

#include <QPainterPath>
#include <QSizeF>
#include <QString>

// The outlines of a text's glyphs as one shape, laid out on one line and moved in by `inset` on
// every side, so a stroke of width 2 x inset stays inside the frame.
struct GlyphShape
{
    QString text;
    FontFace font;
    double inset = 0;
    double tracking = 0;

    QPainterPath path() const;
    // Typographic width and line height, plus the inset on both sides.
    QSizeF size() const;
};
