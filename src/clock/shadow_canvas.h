#pragma once

#include <QImage>
#include <QPoint>

// An image that holds only shadows (premultiplied black, like Shadow::of makes) and adds more of
// them: each pixel's alpha becomes the sum of theirs, at most opaque. QPainter's additive mode
// gives the same sums but hands every tall image to its thread pool, and at clock sizes waking
// the pool costs more than adding the pixels.
class ShadowCanvas
{
public:
    // Adds into `image` (ARGB32 premultiplied), with shadows placed from `origin`.
    explicit ShadowCanvas(QImage& image, QPoint origin = {});

    // Adds `shadow` with its top-left at `at` (plus the origin), scaled by the opacity.
    void add(QPoint at, const QImage& shadow);

    // Every later shadow is scaled by this (0...1).
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);

private:
    QImage& m_image;
    QPoint m_origin;
    double m_opacity = 1;
};
