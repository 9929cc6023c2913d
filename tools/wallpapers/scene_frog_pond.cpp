// A little pond seen from above: rings spreading on sage water, lily pads bobbing, a flower,
// and three frogs sitting on the pads, breathing.
#include "scene.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Paint;

namespace {

struct Pad
{
    QPointF centre; // in 1920x1080 units
    double radius, turn, notch;
    bool frog, flower;
};

const Pad pads[] = {
    {{420, 640}, 150, 20, 16, true, false},   {{760, 380}, 95, 140, 14, false, true},
    {{1180, 720}, 170, 250, 18, true, false}, {{1500, 330}, 125, 300, 15, true, false},
    {{980, 210}, 70, 60, 12, false, false},   {{1420, 985}, 80, 200, 14, false, false},
    {{250, 260}, 80, 110, 14, false, true},   {{640, 930}, 75, 330, 12, false, false},
};

class FrogPond : public Scene
{
public:
    explicit FrogPond(QSize size) : m_size(size) {}
    QString fileName() const override { return QStringLiteral("Frog Pond.mov"); }

    QImage frame(double phase) override
    {
        QImage image = water(phase);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(m_size.width() / 1920.0, m_size.height() / 1080.0);
        int n = 0;
        for (const Pad& pad : pads) {
            const double bob = std::sin(tau * phase + n * 1.3);
            const QPointF at = pad.centre + QPointF(3 * bob, 2 * std::cos(tau * phase + n));
            drawPad(p, pad, at, pad.turn + 2.5 * bob);
            if (pad.flower)
                drawFlower(p, at + QPointF(pad.radius * 0.15, -pad.radius * 0.1), pad.radius * 0.5, phase);
            if (pad.frog)
                drawFrog(p, at, pad.radius * 0.78, pad.turn + 180 + 2.5 * bob, phase, n);
            ++n;
        }
        drawReeds(p, phase);
        return image;
    }

private:
    QImage water(double phase) const
    {
        const int w = m_size.width() / 2, h = m_size.height() / 2;
        const double sx = 1920.0 / w;
        QImage image(w, h, QImage::Format_RGB32);
        const QPointF drops[] = {{600, 520}, {1350, 480}, {900, 820}};
        for (int y = 0; y < h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const double px = x * sx, py = y * sx, fy = py / 1080.0;
                double light = 0.035 * std::sin(px * 0.011 + py * 0.007 + tau * phase)
                               + 0.03 * std::sin(px * -0.006 + py * 0.013 - tau * phase + 1.0);
                for (int i = 0; i < 3; ++i) {
                    const double age = std::fmod(phase + i / 3.0, 1.0);
                    const double radius = 30 + age * 420, d = std::hypot(px - drops[i].x(), py - drops[i].y());
                    const double ring = std::exp(-std::pow((d - radius) / 14, 2)) * std::sin((d - radius) * 0.25);
                    light += 0.22 * (1 - age) * (1 - age) * ring;
                }
                const double vignette = 1 - 0.35 * (std::pow(px / 1920 - 0.5, 2) + std::pow(fy - 0.5, 2)) * 2;
                const double k = (1 + light) * vignette;
                line[x] = rgb(mix(66, 30, fy) * k, mix(104, 62, fy) * k, mix(92, 60, fy) * k);
            }
        }
        return image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    static QPainterPath padShape(double radius, double notch)
    {
        QPainterPath path;
        path.moveTo(0, 0);
        path.arcTo(QRectF(-radius, -radius, 2 * radius, 2 * radius), notch / 2, 360 - notch);
        path.closeSubpath();
        return path;
    }

    static void drawPad(QPainter& p, const Pad& pad, QPointF at, double turn)
    {
        p.save();
        p.translate(at);
        p.rotate(turn);
        const QPainterPath shape = padShape(pad.radius, pad.notch);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(10, 30, 25, 90));
        p.drawPath(shape.translated(9, 12));
        QRadialGradient fill(QPointF(-pad.radius * 0.3, -pad.radius * 0.3), pad.radius * 1.3);
        fill.setColorAt(0, QColor(128, 172, 92));
        fill.setColorAt(1, QColor(62, 112, 56));
        p.setBrush(fill);
        p.setPen(QPen(QColor(150, 190, 110), 2.5));
        p.drawPath(shape);
        p.setPen(QPen(QColor(90, 140, 70, 170), 1.6));
        for (int i = 1; i < 12; ++i) {
            const double a = (pad.notch / 2 + i * (360 - pad.notch) / 12) * tau / 360;
            p.drawLine(QPointF(0, 0), QPointF(std::cos(a) * pad.radius * 0.9, -std::sin(a) * pad.radius * 0.9));
        }
        p.restore();
    }

    static void drawFlower(QPainter& p, QPointF at, double size, double phase)
    {
        p.save();
        p.translate(at);
        p.rotate(6 * std::sin(tau * phase));
        p.setPen(Qt::NoPen);
        for (int ring = 0; ring < 2; ++ring)
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.rotate(i * 45 + ring * 22.5);
                QLinearGradient petal(0, 0, 0, -size);
                petal.setColorAt(0, QColor(255, 236, 240));
                petal.setColorAt(1, ring ? QColor(240, 150, 180) : QColor(226, 118, 160));
                p.setBrush(petal);
                p.drawEllipse(QRectF(-size * 0.16, -size * (ring ? 0.72 : 0.95), size * 0.32, size * (ring ? 0.72 : 0.95)));
                p.restore();
            }
        p.setBrush(QColor(250, 208, 80));
        p.drawEllipse(QPointF(0, 0), size * 0.16, size * 0.16);
        p.restore();
    }

    static void drawFrog(QPainter& p, QPointF at, double size, double turn, double phase, int n)
    {
        p.save();
        p.translate(at);
        p.rotate(turn);
        const double breath = 1 + 0.035 * std::sin(tau * (2 * phase) + n);
        const QColor skin(104, 168, 72), dark(58, 110, 48), belly(190, 214, 120);
        p.setPen(Qt::NoPen);
        // Shadow, hind legs folded at the sides, then body and head (the frog faces "up").
        p.setBrush(QColor(10, 30, 20, 80));
        p.drawEllipse(QPointF(8, 12), size * 0.55, size * 0.7);
        p.setBrush(dark);
        for (int side : {-1, 1}) {
            p.drawEllipse(QPointF(side * size * 0.42, size * 0.22), size * 0.22, size * 0.4);
            p.drawEllipse(QPointF(side * size * 0.52, size * 0.55), size * 0.2, size * 0.1);
            p.drawEllipse(QPointF(side * size * 0.36, -size * 0.28), size * 0.09, size * 0.2);
        }
        QRadialGradient body(QPointF(-size * 0.1, -size * 0.15), size * 0.9);
        body.setColorAt(0, skin.lighter(125));
        body.setColorAt(1, skin.darker(115));
        p.setBrush(body);
        p.drawEllipse(QPointF(0, size * 0.08), size * 0.42 * breath, size * 0.55 * breath);
        p.drawEllipse(QPointF(0, -size * 0.38), size * 0.34, size * 0.26);
        p.setBrush(dark.lighter(110));
        p.drawEllipse(QPointF(-size * 0.12, size * 0.12), size * 0.07, size * 0.09);
        p.drawEllipse(QPointF(size * 0.15, size * 0.28), size * 0.06, size * 0.07);
        p.drawEllipse(QPointF(size * 0.05, -size * 0.02), size * 0.05, size * 0.06);
        p.setBrush(belly);
        p.drawEllipse(QPointF(0, -size * 0.52), size * 0.16, size * 0.06);
        for (int side : {-1, 1}) {
            p.setBrush(skin.lighter(115));
            p.drawEllipse(QPointF(side * size * 0.22, -size * 0.48), size * 0.13, size * 0.13);
            p.setBrush(QColor(230, 210, 90));
            p.drawEllipse(QPointF(side * size * 0.23, -size * 0.5), size * 0.085, size * 0.085);
            p.setBrush(QColor(15, 15, 10));
            p.drawEllipse(QPointF(side * size * 0.23, -size * 0.5), size * 0.05, size * 0.03);
        }
        p.restore();
    }

    static void drawReeds(QPainter& p, double phase)
    {
        for (int i = 0; i < 14; ++i) {
            const double base = 1560 + i * 28 + 10 * std::sin(i * 2.1);
            const double height = 260 + 120 * hash(unsigned(i) + 40);
            const double sway = 14 * std::sin(tau * phase + i * 0.6);
            QPainterPath stem;
            stem.moveTo(base, 1090);
            stem.quadTo(base + sway * 0.3, 1090 - height * 0.5, base + sway, 1090 - height);
            p.setPen(QPen(QColor(40 + i * 3, 78 + i * 2, 46), 6 - i % 3, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(stem);
            if (i % 3 == 0) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(96, 62, 38));
                p.drawRoundedRect(QRectF(base + sway - 7, 1090 - height - 10, 14, 48), 7, 7);
            }
        }
    }

    QSize m_size;
};

} // namespace

std::unique_ptr<Scene> makeFrogPond(QSize size)
{
    return std::make_unique<FrogPond>(size);
}
