#include "taskbar/preview/bar_background.h"

#include "taskbar/preview/bar_shape.h"

#include <QLinearGradient>

#include <algorithm>

namespace BarBackground {

namespace {

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return colour;
}

// The wallpaper behind the bar, softened by shrinking and growing it again: a blur that costs
// next to nothing and is only ever seen through the tint.
QImage softened(const QImage& behind, const QRect& area)
{
    const QImage part = behind.copy(area);
    if (part.isNull())
        return part;
    const QSize small = (part.size() / 12).expandedTo(QSize(1, 1));
    return part.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(part.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void drawEdgeLine(QPainter& painter, const QRectF& rect, const TaskbarSettings& s, const QPainterPath& outline)
{
    if (s.topBorderOpacity <= 0)
        return;
    QPen pen(withAlpha(s.foreground.color(), s.topBorderOpacity), 1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen);
    // A floating or fully rounded bar is outlined all round; a bar on the edge only on its inner side.
    if (s.barCorners == BarCorners::all || s.edgeGap > 0) {
        painter.drawPath(outline);
        return;
    }
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    switch (s.edge) {
    case BarEdge::bottom: painter.drawLine(r.topLeft(), r.topRight()); break;
    case BarEdge::top: painter.drawLine(r.bottomLeft(), r.bottomRight()); break;
    case BarEdge::left: painter.drawLine(r.topRight(), r.bottomRight()); break;
    case BarEdge::right: painter.drawLine(r.topLeft(), r.bottomLeft()); break;
    }
}

} // namespace

double brightnessAt(const EdgeBrightness& edges, BarEdge edge)
{
    switch (edge) {
    case BarEdge::bottom: return edges.bottom;
    case BarEdge::top: return edges.top;
    case BarEdge::left: return edges.left;
    case BarEdge::right: return edges.right;
    }
    return edges.bottom;
}

double legibilityShade(const TaskbarSettings& s, double b)
{
    if (!s.foreground.isLight())
        return 0;
    const double a = s.backgroundStyle == BackgroundStyle::glass ? s.background.a * 0.6 : s.background.a;
    return 0.35 * (1 - a) * std::clamp((b - 0.55) / 0.4, 0.0, 1.0);
}

void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& s, std::optional<double> edgeBrightness,
          const QImage* behind)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = BarShape::path(rect, s);
    painter.setClipPath(outline);
    painter.setPen(Qt::NoPen);

    if (s.backgroundStyle == BackgroundStyle::glass && behind)
        painter.drawImage(rect.topLeft(), softened(*behind, rect.toAlignedRect()));
    if (const double shade = legibilityShade(s, edgeBrightness.value_or(0.5)); shade > 0)
        painter.fillRect(rect, withAlpha(Qt::black, shade));

    switch (s.backgroundStyle) {
    case BackgroundStyle::solid:
        painter.fillRect(rect, s.background.color());
        break;
    case BackgroundStyle::gradient: {
        QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
        gradient.setColorAt(0, s.background.color());
        gradient.setColorAt(1, s.background2.color());
        painter.fillRect(rect, gradient);
        break;
    }
    case BackgroundStyle::glass:
        // The tint, a little lighter at the top like frosted glass catching light.
        QLinearGradient tint(rect.topLeft(), rect.bottomLeft());
        tint.setColorAt(0, withAlpha(s.background.color().lighter(115), s.background.a));
        tint.setColorAt(1, s.background.color());
        painter.fillRect(rect, tint);
        break;
    }
    painter.setClipping(false);
    drawEdgeLine(painter, rect, s, outline);
    painter.restore();
}

} // namespace BarBackground
