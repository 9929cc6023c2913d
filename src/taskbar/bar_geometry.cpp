// The bar's geometry. The taskbar part lays its real bar out with these same functions, so every
// number here is part of the contract between the two processes.
#include "taskbar/taskbar_settings.h"

#include "taskbar/clock_text.h"

#include <algorithm>
#include <cmath>

double TaskbarSettings::largestIcon() const
{
    return std::max(minIconSize, barHeight - 14);
}

double TaskbarSettings::fullIconSize() const
{
    return std::min(largestIcon(), iconSize);
}

double TaskbarSettings::tileHeight() const
{
    return barHeight - 6;
}

double TaskbarSettings::tileGap() const
{
    return std::max(0.0, iconSpacing);
}

// Negative spacing eats into the padding around each icon before tiles overlap.
double TaskbarSettings::tilePadding() const
{
    return iconSpacing > 0 ? 12.0 : std::max(0.0, iconSpacing + 12);
}

double TaskbarSettings::hoverGrowth(double icon) const
{
    return 2 * icon * std::max(0.0, hoverZoom - 1);
}

double TaskbarSettings::hoverRoom(double icon) const
{
    return 1.5 * hoverGrowth(icon);
}

// Smaller icons get proportionally less padding.
double TaskbarSettings::tileLength(double icon) const
{
    const double full = fullIconSize();
    const double ratio = full <= 1 ? std::min(icon, 1.0) : std::min(icon / full, 1.0);
    return icon + tilePadding() * ratio;
}

double TaskbarSettings::rowLength(double tiles, int dividers, int entries, std::optional<double> icon) const
{
    const double i = icon.value_or(fullIconSize());
    return 9.0 * dividers + tiles * tileLength(i) + tileGap() * entries + 12 + hoverRoom(i);
}

double length(NowPlayingStyle style, const TaskbarSettings& settings)
{
    switch (style) {
    case NowPlayingStyle::off: return 0;
    case NowPlayingStyle::song: return settings.vertical() ? 38 : 150;
    case NowPlayingStyle::artwork: return settings.tileHeight();
    case NowPlayingStyle::full: return settings.vertical() ? settings.tileHeight() + 28 : 190;
    }
    return 0;
}

double TaskbarSettings::nowPlayingLength() const
{
    return length(nowPlaying, *this);
}

double TaskbarSettings::clockLength() const
{
    const double fontSize = (showDate ? 14 : 17) * clockScale;
    if (vertical())
        return fontSize * 1.25 + (showDate ? 11 * clockScale * 1.25 + 1 : 0) + 12;

    const ClockText text(*this);
    double timeWidth = text.width(text.time(), ClockText::timeFont(clockFont, fontSize));
    if (showSeconds)
        timeWidth += text.width(text.seconds(), ClockText::timeFont(clockFont, 0.72 * fontSize));
    const double dateWidth = showDate ? text.width(text.date(), ClockText::dateFont(clockFont, 11 * clockScale)) : 0;
    return std::ceil(std::max(timeWidth, dateWidth) + 20);
}

double TaskbarSettings::cornerLength() const
{
    double sum = 0;
    int items = 0;
    if (nowPlaying != NowPlayingStyle::off) {
        sum += nowPlayingLength();
        ++items;
    }
    if (showClock) {
        sum += clockLength();
        ++items;
    }
    if (trash == TrashPlacement::corner) {
        sum += fullIconSize() * 0.8 + 12;
        ++items;
    }
    return items == 0 ? 0 : sum + 2.0 * (items - 1) + 6;
}

double TaskbarSettings::iconSizeForRow(double row, double fixed, double available) const
{
    const double full = fullIconSize();
    if (available >= row)
        return full;
    double s = full * (available - fixed);
    if (row - fixed > 1)
        s /= row - fixed;
    return std::clamp(s, std::min(full, minIconSize), full);
}

double TaskbarSettings::centerShift(double row, double barLength) const
{
    return std::min(0.0, (barLength - row) / 2 - cornerLength());
}

QRectF TaskbarSettings::barFrame(const QRectF& screen, double visibleTop, double content) const
{
    const double fraction = std::clamp(barWidth, 0.2, 1.0);
    // Screen coordinates grow upwards here, so the screen's minimum y is its bottom edge.
    const double minY = screen.top();
    if (!vertical()) {
        const double width = screen.width();
        const double length = std::round(std::min(width, std::max(fraction * width, content)));
        const double x = screen.left() + std::round((width - length) / 2);
        const double y = edge == BarEdge::bottom ? minY + edgeGap : visibleTop - edgeGap - barHeight;
        return QRectF(x, y, length, barHeight);
    }
    const double available = visibleTop - minY;
    const double length = std::round(std::min(available, std::max(fraction * available, content)));
    const double x = edge == BarEdge::left ? screen.left() + edgeGap : screen.right() - edgeGap - barHeight;
    const double y = minY + std::round((available - length) / 2);
    return QRectF(x, y, barHeight, length);
}
