// A dark disc ringed by a thin corona; the light source travels round behind it, so the rim
// brightens where the light is and streamers reach out from that side.
#include "scene.h"

#include <cmath>

using namespace Paint;

namespace {

class Eclipse : public Scene
{
public:
    explicit Eclipse(QSize size) : m_size(size) {}
    QString fileName() const override { return QStringLiteral("Eclipse.mov"); }

    QImage frame(double phase) override
    {
        // Drawn at half size: everything here is soft, and the encoder scales it up smoothly.
        const int w = m_size.width() / 2, h = m_size.height() / 2;
        QImage image(w, h, QImage::Format_RGB32);
        const double cx = w * 0.5, cy = h * 0.5, radius = h * 0.25;
        const double light = phase * tau - tau / 4; // the light's angle round the disc
        for (int y = 0; y < h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double angle = std::atan2(dy, dx);
                double da = std::remainder(angle - light, tau);
                const double near = std::exp(-da * da / 0.35);          // side the light is on
                const double wide = 0.5 + 0.5 * std::cos(da);
                // Night sky: deep indigo, a little lighter low down, with faint fixed stars.
                double red = 6 + 6 * y / double(h), green = 5 + 4 * y / double(h), blue = 16 + 14 * y / double(h);
                const unsigned cell = unsigned(x / 3) * 7919U + unsigned(y / 3) * 104729U;
                if (hash(cell) > 0.9975) {
                    const double twinkle = 0.6 + 0.4 * std::sin(tau * (phase * 2 + hash(cell + 1)));
                    const double star = 110 * twinkle * hash(cell + 2);
                    red += star, green += star, blue += star * 1.1;
                }
                if (r < radius) {
                    // The disc: almost black, with a trace of light bleeding over its edge.
                    const double edge = std::exp(-(radius - r) / 2.5) * (0.25 + 1.2 * near);
                    line[x] = rgb(3 + 120 * edge, 2 + 100 * edge, 6 + 150 * edge);
                    continue;
                }
                const double out = r - radius;
                // Streamers: fine angular structure that sways slowly with the light.
                const double streaks = 0.65 + 0.35 * std::sin(angle * 13 + 2 * std::sin(phase * tau))
                                                   * std::sin(angle * 7 - 1.3 + std::cos(phase * tau));
                const double reach = 6 + 70 * near * streaks + 18 * wide;
                const double corona = std::exp(-out / reach) * (0.25 + 0.9 * near + 0.25 * wide);
                const double rim = std::exp(-out * out / 3.0) * (0.5 + 2.2 * near);
                const double halo = std::exp(-out / (radius * 1.6)) * (0.10 + 0.22 * near);
                const double glow = corona + rim + halo;
                // Cream where the light is strong, lavender where it thins out.
                const double warm = clamp01(corona * 1.1 + rim * 0.6);
                red += glow * mix(170, 255, warm);
                green += glow * mix(140, 236, warm);
                blue += glow * mix(255, 205, warm);
                line[x] = rgb(red, green, blue);
            }
        }
        return image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

private:
    QSize m_size;
};

} // namespace

std::unique_ptr<Scene> makeEclipse(QSize size)
{
    return std::make_unique<Eclipse>(size);
}
