#include "clock/shadow_blur.h"

#include <QList>

#include <array>

#include <algorithm>
#include <cmath>

namespace {

// Widths of three box filters whose succession approximates a Gaussian of deviation sigma.
std::array<int, 3> boxSizes(double sigma)
{
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    std::array<int, 3> sizes{};
    for (int i = 0; i < 3; ++i)
        sizes[i] = i < m ? lower : upper;
    return sizes;
}

// One box pass along rows (stride 1) or columns (stride width) of a plane of floats.
void boxPass(const float* in, float* out, int count, int length, int stride, int lineStride, int radius)
{
    const float scale = 1.0f / float(2 * radius + 1);
    for (int line = 0; line < count; ++line) {
        const float* src = in + qsizetype(line) * lineStride;
        float* dst = out + qsizetype(line) * lineStride;
        float sum = 0;
        // Outside the plane counts as empty.
        for (int i = 0; i <= radius && i < length; ++i)
            sum += src[qsizetype(i) * stride];
        for (int i = 0; i < length; ++i) {
            dst[qsizetype(i) * stride] = sum * scale;
            const int add = i + radius + 1;
            const int drop = i - radius;
            if (add < length)
                sum += src[qsizetype(add) * stride];
            if (drop >= 0)
                sum -= src[qsizetype(drop) * stride];
        }
    }
}

} // namespace

QImage shadowOf(const QImage& image, double sigma, double opacity)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = source.width(), h = source.height();
    QImage shadow(w, h, QImage::Format_ARGB32_Premultiplied);
    shadow.setDevicePixelRatio(image.devicePixelRatio());
    if (w == 0 || h == 0)
        return shadow;
    QList<float> a(qsizetype(w) * h), b(qsizetype(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[qsizetype(y) * w + x] = float(qAlpha(line[x]));
    }
    if (sigma > 0.3) {
        for (const int size : boxSizes(sigma)) {
            const int radius = (size - 1) / 2;
            boxPass(a.constData(), b.data(), h, w, 1, w, radius);
            boxPass(b.constData(), a.data(), w, h, w, 1, radius);
        }
    }
    const float gain = float(std::clamp(opacity, 0.0, 1.0));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = std::clamp(int(std::lround(a[qsizetype(y) * w + x] * gain)), 0, 255);
            line[x] = qRgba(0, 0, 0, alpha);
        }
    }
    return shadow;
}
