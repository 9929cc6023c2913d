#pragma once

#include <QImage>
#include <QPoint>

// A soft black shadow of an image's coverage: its alpha blurred with a Gaussian of standard
// deviation `sigma` pixels (three box passes each way), at `opacity`, as premultiplied black.
// The shadow spreads beyond the image; `offset` is where its top-left lies from the image's.
// Shadows add up: the shadow of several shapes that do not overlap is the sum of theirs.
struct Shadow
{
    QImage image;
    QPoint offset;

    // A wide blur is computed on a coarser grid and scaled up smoothly; the Gaussian has no detail
    // a coarser grid could lose, and the grid's own smoothing is taken off the blur.
    static Shadow of(const QImage& image, double sigma, double opacity);
};
