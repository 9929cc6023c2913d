// A canal in the shape of a figure of eight set in a dusky plaza. The water's ripples travel
// along the canal, a whole number of wavelengths per loop, so it runs round without end.
#include "scene.h"

#include <cmath>
#include <vector>

using namespace Paint;

namespace {

class Infinity : public Scene
{
public:
    explicit Infinity(QSize size) : m_size(size), m_w(size.width() / 2), m_h(size.height() / 2)
    {
        // The curve, sampled with its running length, then each pixel's nearest point on it.
        const int samples = 1400;
        const double a = m_w * 0.40, cx = m_w * 0.5, cy = m_h * 0.5;
        std::vector<double> xs(samples), ys(samples), along(samples);
        double length = 0;
        for (int i = 0; i < samples; ++i) {
            const double s = tau * i / samples, d = 1 + std::sin(s) * std::sin(s);
            xs[i] = cx + a * std::cos(s) / d;
            ys[i] = cy + a * std::sin(s) * std::cos(s) / d * 1.15;
            if (i)
                length += std::hypot(xs[i] - xs[i - 1], ys[i] - ys[i - 1]);
            along[i] = length;
        }
        length += std::hypot(xs[0] - xs[samples - 1], ys[0] - ys[samples - 1]);
        m_distance.resize(size_t(m_w) * m_h);
        m_along.resize(size_t(m_w) * m_h);
        m_side.resize(size_t(m_w) * m_h);
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                double best = 1e18;
                int at = 0;
                for (int i = 0; i < samples; ++i) {
                    const double dx = xs[i] - x, dy = ys[i] - y, d = dx * dx + dy * dy;
                    if (d < best)
                        best = d, at = i;
                }
                m_distance[size_t(y) * m_w + x] = float(std::sqrt(best));
                // Which bank the pixel is nearer: the sign of the cross product with the direction.
                const int after = (at + 1) % samples;
                const double cross = (xs[after] - xs[at]) * (y - ys[at]) - (ys[after] - ys[at]) * (x - xs[at]);
                m_side[size_t(y) * m_w + x] = cross < 0 ? -1.0f : 1.0f;
                m_along[size_t(y) * m_w + x] = float(along[at] / length);
            }
    }
    QString fileName() const override { return QStringLiteral("Infinity.mov"); }

    QImage frame(double phase) override
    {
        QImage image(m_w, m_h, QImage::Format_RGB32);
        const double half = m_h * 0.045, rim = 4.5;
        for (int y = 0; y < m_h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const double fy = y / double(m_h);
            for (int x = 0; x < m_w; ++x) {
                const double d = m_distance[size_t(y) * m_w + x];
                const double u = m_along[size_t(y) * m_w + x];
                const double fx = x / double(m_w);
                // Plaza: coral at the top falling to plum, darker towards the corners.
                const double vignette = 1 - 0.45 * (std::pow(fx - 0.5, 2) + std::pow(fy - 0.5, 2)) * 2.2;
                double r = mix(196, 92, fy) * vignette, g = mix(104, 44, fy) * vignette, b = mix(98, 86, fy) * vignette;
                // Faint paving seams.
                const double tiles = std::min(std::abs(std::remainder(x, 24.0)), std::abs(std::remainder(y, 24.0)));
                const double seam = 1 - 0.08 * (1 - smoothstep(0, 1.2, tiles));
                r *= seam, g *= seam, b *= seam;
                if (d > half + rim) {
                    const double shadow = 1 - 0.45 * std::exp(-(d - half - rim) / 7);
                    line[x] = rgb(r * shadow, g * shadow, b * shadow);
                    continue;
                }
                if (d > half) {
                    // Pale stone coping, lit from above.
                    const double t = (d - half) / rim;
                    const double lit = 0.8 + 0.2 * std::sin(t * 3.14159);
                    line[x] = rgb(236 * lit, 206 * lit, 196 * lit);
                    continue;
                }
                const double v = d / half; // 0 mid-stream, 1 at the wall
                // Signed position across the stream, so the ripples slant instead of forming chevrons.
                const double across = m_side[size_t(y) * m_w + x] * v;
                const double flowA = std::sin(tau * (u * 41 - 3 * phase) + 1.1 * across + 0.8 * std::sin(tau * u * 9));
                const double flowB = std::sin(tau * (u * 67 - 4 * phase) - 1.6 * across + 0.6 * std::sin(tau * (u * 5 + phase)));
                const double flowC = std::sin(tau * (u * 23 - 2 * phase) + 0.5 * across);
                const double caustic = 0.55 * std::pow(clamp01(0.5 + 0.5 * (flowA * 0.5 + flowB * 0.5)), 5) * (1 - 0.5 * v)
                                       + 0.18 * std::pow(clamp01(0.5 + 0.5 * flowC), 3);
                const double depth = 1 - 0.5 * v * v;
                r = mix(40, 18, v) * depth + 180 * caustic + 25 * (1 - fy);
                g = mix(118, 70, v) * depth + 200 * caustic;
                b = mix(128, 88, v) * depth + 195 * caustic;
                // The wall's shade on the water along its edge.
                const double edge = smoothstep(0.72, 1.0, v);
                line[x] = rgb(r * (1 - 0.5 * edge), g * (1 - 0.5 * edge), b * (1 - 0.45 * edge));
            }
        }
        return image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

private:
    QSize m_size;
    int m_w, m_h;
    std::vector<float> m_distance, m_along, m_side;
};

} // namespace

std::unique_ptr<Scene> makeInfinity(QSize size)
{
    return std::make_unique<Infinity>(size);
}
