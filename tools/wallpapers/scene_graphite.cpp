// Soft folds of dark graphite under a low light. The folds are a sum of broad waves whose phases
// sway back and forth over the loop, so the surface drifts without ever jumping.
#include "scene.h"

#include <array>
#include <cmath>
#include <vector>

using namespace Paint;

namespace {

struct Wave
{
    double kx, ky, amplitude, phase, sway, swayPhase;
};

class Graphite : public Scene
{
public:
    explicit Graphite(QSize size) : m_size(size)
    {
        for (unsigned i = 0; i < m_waves.size(); ++i) {
            // Mostly diagonal folds, like a sheet pushed together from one corner.
            const double direction = 0.6 + 0.9 * (hash(i * 3 + 11) - 0.5) + (i % 3 == 2 ? 1.4 : 0);
            const double wavelength = 380 + 620 * hash(i * 5 + 3);
            const double k = tau / wavelength;
            m_waves[i] = {k * std::cos(direction), k * std::sin(direction), 1.0 / (1 + i * 0.35),
                          tau * hash(i * 7 + 5), 0.5 + 0.7 * hash(i * 13 + 1), tau * hash(i * 17 + 2)};
        }
    }
    QString fileName() const override { return QStringLiteral("Graphite.mov"); }

    double height(double x, double y, double phase) const
    {
        // A gentle warp first, so the folds bend instead of running straight.
        const double wx = x + 60 * std::sin(y * 0.004 + std::sin(phase * tau) * 0.6);
        const double wy = y + 60 * std::sin(x * 0.0035 + 1.7 + std::cos(phase * tau) * 0.6);
        double h = 0;
        int i = 0;
        for (const Wave& wave : m_waves) {
            const double s = std::sin(wave.kx * wx + wave.ky * wy + wave.phase + wave.sway * std::sin(phase * tau + wave.swayPhase));
            // One wave is folded over into a soft crease; the others swell smoothly.
            h += wave.amplitude * (i++ == 1 ? 0.9 * (0.5 - std::sqrt(std::abs(s) + 0.05)) : s);
        }
        return h;
    }

    QImage frame(double phase) override
    {
        const int w = m_size.width() / 2, h = m_size.height() / 2;
        const double scale = double(m_size.width()) / w;
        // The height field once per frame (one pixel of margin for the slopes).
        const int fw = w + 1, fh = h + 1;
        m_field.resize(size_t(fw) * fh);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                m_field[size_t(y) * fw + x] = height(x * scale, y * scale, phase);
        QImage image(w, h, QImage::Format_RGB32);
        // Light from the upper left, low over the surface.
        const double lx = -0.55, ly = -0.45, lz = 0.70;
        const double hz = lz + 1, hn = std::sqrt(lx * lx + ly * ly + hz * hz);
        for (int y = 0; y < h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const double h0 = m_field[size_t(y) * fw + x];
                const double hx = (m_field[size_t(y) * fw + x + 1] - h0) / scale;
                const double hy = (m_field[size_t(y + 1) * fw + x] - h0) / scale;
                const double steep = 95; // how deep the folds look
                double nx = -hx * steep, ny = -hy * steep, nz = 1;
                const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
                nx /= n, ny /= n, nz /= n;
                const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
                // Graphite's sheen: a broad, soft highlight rather than a wet glint.
                const double specular = std::pow(std::max(0.0, (nx * lx + ny * ly + nz * hz) / hn), 14);
                const double valley = 0.8 + 0.2 * std::tanh(h0 * 0.5);
                const double vignette = 1 - 0.35 * std::pow(std::hypot((x - w * 0.5) / w, (y - h * 0.5) / h) * 1.4, 2);
                const double base = (26 + 62 * diffuse) * valley * vignette;
                const double shine = 78 * specular * vignette;
                line[x] = rgb(base + shine, base * 1.02 + shine, base * 1.08 + shine * 1.04);
            }
        }
        return image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

private:
    QSize m_size;
    std::array<Wave, 6> m_waves;
    std::vector<double> m_field;
};

} // namespace

std::unique_ptr<Scene> makeGraphite(QSize size)
{
    return std::make_unique<Graphite>(size);
}
