#pragma once

#include <QImage>
#include <QString>

#include <memory>
#include <vector>

// One shipped wallpaper drawn from code. frame(phase) draws the picture at phase 0 <= p < 1 of
// the loop; every motion is periodic in p, so the last frame runs seamlessly into the first.
class Scene
{
public:
    virtual ~Scene() = default;
    virtual QString fileName() const = 0;
    virtual QImage frame(double phase) = 0;
};

std::unique_ptr<Scene> makeEclipse(QSize size);
std::unique_ptr<Scene> makeGraphite(QSize size);
std::unique_ptr<Scene> makeInfinity(QSize size);
std::unique_ptr<Scene> makeFrogPond(QSize size);

// Shared drawing helpers.
namespace Paint {

constexpr double tau = 6.283185307179586;

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double smoothstep(double a, double b, double v)
{
    const double t = clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}
inline double mix(double a, double b, double t) { return a + (b - a) * t; }
inline QRgb rgb(double r, double g, double b)
{
    auto c = [](double v) { return int(clamp01(v / 255.0) * 255.0 + 0.5); };
    return qRgb(c(r), c(g), c(b));
}
// Deterministic pseudo-random number in [0, 1) for an integer seed.
inline double hash(unsigned n)
{
    n = (n << 13U) ^ n;
    n = n * (n * n * 15731U + 789221U) + 1376312589U;
    return double(n & 0x7fffffffU) / double(0x80000000U);
}

} // namespace Paint
