#pragma once

#include <QPoint>
#include <QPointF>

#include <cmath>

// A position rounded to a quarter of a pixel and split into whole pixels and quarters (0...3).
// Drawings kept as images are made at one of these sixteen sub-pixel places and then copied to
// whole pixels, which is all the copy can do.
struct QuarterPixel
{
    QPoint whole;
    QPoint quarters;

    static int quartersOf(double value) { return int(std::floor(value * 4 + 0.5)); }
    static QuarterPixel of(QPointF at)
    {
        const int x = quartersOf(at.x()), y = quartersOf(at.y());
        const QPoint whole(int(std::floor(x / 4.0)), int(std::floor(y / 4.0)));
        return QuarterPixel{whole, QPoint(x, y) - whole * 4};
    }
    // The place within the whole pixel.
    QPointF phase() const { return QPointF(quarters) / 4; }
};
