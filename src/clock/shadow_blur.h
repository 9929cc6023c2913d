#pragma once

#include <QImage>

// A soft black copy of an image's coverage: the alpha channel blurred with a Gaussian of the given
// standard deviation (approximated by three box passes each way), at `opacity`.
QImage shadowOf(const QImage& image, double sigma, double opacity);
