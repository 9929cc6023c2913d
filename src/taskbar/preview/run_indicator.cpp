#include "taskbar/preview/run_indicator.h"

#include <algorithm>

namespace RunIndicator {

namespace {

// Along-bar length and thickness of each style, for an icon of this size.
QSizeF markSize(IndicatorStyle style, double icon, double tileLength)
{
    switch (style) {
    case IndicatorStyle::pill: return {std::max(6.0, icon * 0.32), 4};
    case IndicatorStyle::dot: return {4, 4};
    case IndicatorStyle::line: return {std::max(6.0, tileLength - 8), 2};
    case IndicatorStyle::none: return {};
    }
    return {};
}

} // namespace

QRectF rect(const TaskbarSettings& s, const QRectF& tile, const QRectF& icon)
{
    const bool vertical = s.vertical();
    const double iconSide = vertical ? icon.width() : icon.height();
    const QSizeF size = markSize(s.indicator, iconSide, vertical ? tile.height() : tile.width());
    if (size.isEmpty())
        return {};
    // Automatic placement: midway between the icon and the tile's edge on the screen side.
    const auto offset = [&](double room) { return s.indicatorGap ? *s.indicatorGap : std::max(0.0, (room - size.height()) / 2); };
    switch (s.edge) {
    case BarEdge::bottom: {
        const double y = icon.bottom() + offset(tile.bottom() - icon.bottom());
        return {tile.center().x() - size.width() / 2, y, size.width(), size.height()};
    }
    case BarEdge::top: {
        const double y = icon.top() - offset(icon.top() - tile.top()) - size.height();
        return {tile.center().x() - size.width() / 2, y, size.width(), size.height()};
    }
    case BarEdge::left: {
        const double x = icon.left() - offset(icon.left() - tile.left()) - size.height();
        return {x, tile.center().y() - size.width() / 2, size.height(), size.width()};
    }
    case BarEdge::right: {
        const double x = icon.right() + offset(tile.right() - icon.right());
        return {x, tile.center().y() - size.width() / 2, size.height(), size.width()};
    }
    }
    return {};
}

void draw(QPainter& painter, const TaskbarSettings& s, const QRectF& tile, const QRectF& icon, const RGBA& tint)
{
    const QRectF mark = rect(s, tile, icon);
    if (mark.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint.color());
    const double radius = std::min(mark.width(), mark.height()) / 2;
    painter.drawRoundedRect(mark, radius, radius);
    painter.restore();
}

} // namespace RunIndicator
