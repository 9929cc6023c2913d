#pragma once

#include <QColor>
#include <QImage>

#include <array>

class QPainter;
class QRect;

// Rounds a rectangle's corners by painting what lies outside them in the colour behind it.
// Four small pictures made once, instead of a clip path over the whole area: Qt's raster
// engine splits a large clipped or antialiased fill into pieces for other threads and waits,
// which costs views that repaint many times a second a multiple of a plain copy.
class CornerMask
{
public:
    void paint(QPainter& painter, const QRect& rect, int radius, const QColor& behind);

private:
    void make(int radius, qreal dpr, const QColor& behind);

    std::array<QImage, 4> m_corners; // top left, top right, bottom left, bottom right
    int m_radius = 0;
    qreal m_dpr = 0;
    QColor m_behind;
};
