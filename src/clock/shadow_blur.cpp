#include "clock/shadow_blur.h"

#include <QRect>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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

// One box pass along each row of a w x h plane; outside the plane counts as empty.
void boxAlongRows(const float* in, float* out, int w, int h, int radius)
{
    const float scale = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < h; ++y) {
        const float* src = in + std::size_t(y) * w;
        float* dst = out + std::size_t(y) * w;
        float sum = 0;
        for (int i = 0; i <= radius && i < w; ++i)
            sum += src[i];
        for (int x = 0; x < w; ++x) {
            dst[x] = sum * scale;
            if (x + radius + 1 < w)
                sum += src[x + radius + 1];
            if (x - radius >= 0)
                sum -= src[x - radius];
        }
    }
}

// One box pass down each column, a whole row at a time so memory is read in order.
void boxAlongColumns(const float* in, float* out, int w, int h, int radius, std::vector<float>& sum)
{
    const float scale = 1.0f / float(2 * radius + 1);
    sum.assign(std::size_t(w), 0.0f);
    const auto row = [&](int y) { return in + std::size_t(y) * w; };
    for (int i = 0; i <= radius && i < h; ++i)
        for (int x = 0; x < w; ++x)
            sum[x] += row(i)[x];
    for (int y = 0; y < h; ++y) {
        float* dst = out + std::size_t(y) * w;
        for (int x = 0; x < w; ++x)
            dst[x] = sum[x] * scale;
        if (y + radius + 1 < h) {
            const float* add = row(y + radius + 1);
            for (int x = 0; x < w; ++x)
                sum[x] += add[x];
        }
        if (y - radius >= 0) {
            const float* drop = row(y - radius);
            for (int x = 0; x < w; ++x)
                sum[x] -= drop[x];
        }
    }
}

// Where a full-size pixel centre falls between two samples of a grid `factor` times coarser.
struct Between
{
    int low = 0;
    int high = 0;
    float weight = 0; // of `high`
};

std::vector<Between> upsampling(int length, int factor, int samples)
{
    std::vector<Between> table(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const double at = std::clamp((i + 0.5) / factor - 0.5, 0.0, double(samples - 1));
        const int low = int(at);
        table[std::size_t(i)] = Between{low, std::min(low + 1, samples - 1), float(at - low)};
    }
    return table;
}

} // namespace

Shadow Shadow::of(const QImage& image, double sigma, double opacity)
{
    if (image.isNull() || !(opacity > 0) || !std::isfinite(sigma))
        return Shadow{};
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    sigma = std::max(sigma, 0.0);
    // Beyond 3 sigma of the ink a Gaussian shadow is under half a level of alpha.
    const int reach = int(std::ceil(3 * sigma)) + 1;
    const QRect area = source.rect().adjusted(-reach, -reach, reach, reach);

    // Coarser grid for wide blurs: box averaging then bilinear scaling add a variance of
    // factor^2 / 4 (full-size pixels), which the grid's blur leaves out.
    const int factor = std::clamp(int(sigma / 2.5), 1, 8);
    const double gridSigma = factor == 1 ? sigma : std::sqrt(std::max(sigma * sigma / (factor * factor) - 0.25, 0.0));
    const int gw = (area.width() + factor - 1) / factor;
    const int gh = (area.height() + factor - 1) / factor;
    std::vector<float> a(std::size_t(gw) * gh, 0.0f), b(a.size());

    // Coverage averaged into the grid.
    const float cellScale = 1.0f / float(factor * factor);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        float* cells = a.data() + std::size_t((y + reach) / factor) * gw;
        for (int x = 0; x < source.width(); ++x)
            cells[(x + reach) / factor] += float(qAlpha(line[x])) * cellScale;
    }

    if (gridSigma > 0.3) {
        const std::array<int, 3> sizes = boxSizes(gridSigma);
        for (const int size : sizes) {
            boxAlongRows(a.data(), b.data(), gw, gh, (size - 1) / 2);
            std::swap(a, b);
        }
        std::vector<float> sums;
        for (const int size : sizes) {
            boxAlongColumns(a.data(), b.data(), gw, gh, (size - 1) / 2, sums);
            std::swap(a, b);
        }
    }

    // Scaled up to full size as premultiplied black.
    Shadow shadow{QImage(area.size(), QImage::Format_ARGB32_Premultiplied), area.topLeft()};
    const float gain = float(std::clamp(opacity, 0.0, 1.0));
    const std::vector<Between> columns = upsampling(area.width(), factor, gw);
    const std::vector<Between> rows = upsampling(area.height(), factor, gh);
    std::vector<float> shadowRow(static_cast<std::size_t>(gw));
    for (int y = 0; y < area.height(); ++y) {
        const Between& r = rows[std::size_t(y)];
        const float* low = a.data() + std::size_t(r.low) * gw;
        const float* high = a.data() + std::size_t(r.high) * gw;
        for (int i = 0; i < gw; ++i)
            shadowRow[std::size_t(i)] = (low[i] + (high[i] - low[i]) * r.weight) * gain + 0.5f;
        auto* line = reinterpret_cast<QRgb*>(shadow.image.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const Between& c = columns[std::size_t(x)];
            const float value = shadowRow[std::size_t(c.low)] + (shadowRow[std::size_t(c.high)] - shadowRow[std::size_t(c.low)]) * c.weight;
            line[x] = QRgb(std::clamp(int(value), 0, 255)) << 24;
        }
    }
    return shadow;
}
