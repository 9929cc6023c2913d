#include "clock/clock_lines.h"

#include "clock/date_text.h"

#include <QStringList>

#include <algorithm>
#include <limits>

SmallLines smallLines(const ClockStyle& style, const QDateTime& date)
{
    std::optional<QString> weekday;
    std::optional<QString> day;
    if (style.showWeekday)
        weekday = DateText::string(QStringLiteral("EEEE"), style.localeID, date);
    if (style.showDate)
        day = DateText::string(pattern(style.dateFormat), style.localeID, date);
    QStringList present;
    if (weekday)
        present << *weekday;
    if (day)
        present << *day;
    std::optional<QString> combined;
    if (!present.isEmpty())
        combined = present.join(QStringLiteral(" \u00B7 "));

    TextLook labelLook = style.labelLook();
    labelLook.uppercase = style.uppercaseLabels;
    const auto label = [&](const QString& text) { return SmallLine{text, style.labelAlign, labelLook, false}; };

    SmallLines lines;
    switch (style.datePlacement) {
    case DatePlacement::around:
        if (weekday)
            lines.above << label(*weekday);
        if (day)
            lines.below << label(*day);
        break;
    case DatePlacement::above:
        if (combined)
            lines.above << label(*combined);
        break;
    case DatePlacement::below:
        if (combined)
            lines.below << label(*combined);
        break;
    }

    const QString own = style.ownLine.trimmed();
    if (!own.isEmpty()) {
        const SmallLine line{own, style.ownLineAlign, style.ownLineLook.value_or(style.labelLook()), true};
        if (style.ownLinePlacement == LinePlacement::above)
            lines.above.prepend(line);
        else
            lines.below.append(line);
    }
    return lines;
}

ClockLines ClockLines::of(const ClockStyle& style, double scale, const QList<bool>& ownRows)
{
    ClockLines lines;
    lines.inset = style.timeFont.size * 0.04 * scale;
    for (qsizetype i = 0; i + 1 < ownRows.size(); ++i)
        lines.gaps << ((ownRows[i] || ownRows[i + 1]) ? style.textLineSpacing : style.lineSpacing) * scale;
    return lines;
}

ClockLines::Placement ClockLines::place(const QList<QSizeF>& sizes, const QList<TextAlign>& sides) const
{
    Placement placement;
    double widest = 0;
    for (const QSizeF& size : sizes)
        widest = std::max(widest, size.width());
    double y = 0;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const double w = sizes[i].width();
        const TextAlign side = i < sides.size() ? sides[i] : TextAlign::leading;
        const double x = side == TextAlign::leading ? inset
            : side == TextAlign::center            ? (widest - w) / 2
                                                   : widest - w - inset;
        placement.origins << QPointF(x, y);
        y += sizes[i].height() + (i < gaps.size() && i + 1 < sizes.size() ? gaps[i] : 0);
    }
    if (placement.origins.isEmpty())
        return placement;
    double left = std::numeric_limits<double>::max(), top = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest(), bottom = std::numeric_limits<double>::lowest();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        left = std::min(left, placement.origins[i].x());
        top = std::min(top, placement.origins[i].y());
        right = std::max(right, placement.origins[i].x() + sizes[i].width());
        bottom = std::max(bottom, placement.origins[i].y() + sizes[i].height());
    }
    // The leftmost row starts at 0; with gaps so negative that a row climbs above the first, the
    // topmost row starts at 0 too, so nothing is drawn outside the block.
    const double shiftY = std::min(top, 0.0);
    for (QPointF& origin : placement.origins)
        origin -= QPointF(left, shiftY);
    placement.size = QSizeF(right - left, bottom - shiftY);
    return placement;
}
