#include "taskbar/preview/bar_shape.h"

#include <algorithm>
#include <cmath>

namespace BarShape {

namespace {

// How far along each side a corner of radius r reaches: continuous corners ease into the straight
// side over a longer run than a circular arc does.
constexpr double smoothing = 1.28;

double limit(double radius, const QRectF& rect)
{
    if (!std::isfinite(radius) || radius <= 0)
        return 0;
    return std::min(radius * smoothing, std::min(rect.width(), rect.height()) / 2);
}

} // namespace

QPainterPath unevenRoundedRect(const QRectF& r, double tl, double tr, double br, double bl)
{
    tl = limit(tl, r);
    tr = limit(tr, r);
    br = limit(br, r);
    bl = limit(bl, r);
    // Each corner is one cubic whose control points sit near the corner: a squircle-like curve
    // that leaves the straight side without the visible kink of a quarter circle.
    constexpr double k = 0.3;
    QPainterPath p;
    p.moveTo(r.left() + tl, r.top());
    p.lineTo(r.right() - tr, r.top());
    p.cubicTo(r.right() - tr * k, r.top(), r.right(), r.top() + tr * k, r.right(), r.top() + tr);
    p.lineTo(r.right(), r.bottom() - br);
    p.cubicTo(r.right(), r.bottom() - br * k, r.right() - br * k, r.bottom(), r.right() - br, r.bottom());
    p.lineTo(r.left() + bl, r.bottom());
    p.cubicTo(r.left() + bl * k, r.bottom(), r.left(), r.bottom() - bl * k, r.left(), r.bottom() - bl);
    p.lineTo(r.left(), r.top() + tl);
    p.cubicTo(r.left(), r.top() + tl * k, r.left() + tl * k, r.top(), r.left() + tl, r.top());
    p.closeSubpath();
    return p;
}

QPainterPath path(const QRectF& rect, const TaskbarSettings& s)
{
    const double r = s.barRadius;
    switch (s.barCorners) {
    case BarCorners::square:
        return unevenRoundedRect(rect, 0, 0, 0, 0);
    case BarCorners::all:
        return unevenRoundedRect(rect, r, r, r, r);
    case BarCorners::top:
        break;
    }
    // Only the corners that face away from the screen edge.
    switch (s.edge) {
    case BarEdge::bottom: return unevenRoundedRect(rect, r, r, 0, 0);
    case BarEdge::top: return unevenRoundedRect(rect, 0, 0, r, r);
    case BarEdge::left: return unevenRoundedRect(rect, 0, r, r, 0);
    case BarEdge::right: return unevenRoundedRect(rect, r, 0, 0, r);
    }
    return unevenRoundedRect(rect, 0, 0, 0, 0);
}

} // namespace BarShape
