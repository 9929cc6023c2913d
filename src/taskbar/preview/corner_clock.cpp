#include "taskbar/preview/corner_clock.h"

#include "taskbar/clock_text.h"
#include "taskbar/preview/now_playing_face.h"
#include "taskbar/preview/sample_icons.h"

#include <QFontMetricsF>

#include <algorithm>

namespace CornerClock {

namespace {

QColor textColour(const TaskbarSettings& s, double opacity = 1)
{
    QColor c = s.foreground.color();
    c.setAlphaF(float(std::clamp(s.foreground.a * opacity, 0.0, 1.0)));
    return c;
}

// Splits `rect` along the bar into consecutive slots of the given lengths.
QRectF slot(const TaskbarSettings& s, const QRectF& rect, double start, double length)
{
    if (s.vertical())
        return {rect.left(), rect.top() + start, rect.width(), length};
    return {rect.left() + start, rect.top(), length, rect.height()};
}

} // namespace

void drawClock(QPainter& painter, const QRectF& rect, const TaskbarSettings& s, const QDateTime& moment)
{
    const ClockText text(s, moment);
    const double fontSize = (s.showDate ? 14 : 17) * s.clockScale;
    const QFont timeFont = ClockText::timeFont(s.clockFont, fontSize);
    const QFont secondsFont = ClockText::timeFont(s.clockFont, 0.72 * fontSize);
    const QFont dateFont = ClockText::dateFont(s.clockFont, 11 * s.clockScale);
    const QFontMetricsF timeMetrics(timeFont, painter.device());
    const QFontMetricsF dateMetrics(dateFont, painter.device());

    const QString time = text.time();
    const QString seconds = s.showSeconds ? text.seconds() : QString();
    const double timeWidth = timeMetrics.horizontalAdvance(time)
        + (seconds.isEmpty() ? 0 : QFontMetricsF(secondsFont, painter.device()).horizontalAdvance(seconds));
    const double lineGap = 1;
    const double height = timeMetrics.height() + (s.showDate ? dateMetrics.height() + lineGap : 0);
    double y = rect.center().y() - height / 2;

    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(textColour(s));
    const double x = rect.center().x() - timeWidth / 2;
    painter.setFont(timeFont);
    painter.drawText(QPointF(x, y + timeMetrics.ascent()), time);
    if (!seconds.isEmpty()) {
        painter.setFont(secondsFont);
        painter.setPen(textColour(s, 0.7));
        painter.drawText(QPointF(x + timeMetrics.horizontalAdvance(time), y + timeMetrics.ascent()), seconds);
    }
    y += timeMetrics.height() + lineGap;
    if (s.showDate && !s.vertical()) {
        const QString date = text.date();
        painter.setFont(dateFont);
        painter.setPen(textColour(s, 0.72));
        painter.drawText(QPointF(rect.center().x() - dateMetrics.horizontalAdvance(date) / 2, y + dateMetrics.ascent()), date);
    } else if (s.showDate) {
        // A vertical bar has room for the day only.
        const QString day = ClockText(s, moment).date().section(QLatin1Char(' '), 0, 0);
        painter.setFont(dateFont);
        painter.setPen(textColour(s, 0.72));
        painter.drawText(QPointF(rect.center().x() - dateMetrics.horizontalAdvance(day) / 2, y + dateMetrics.ascent()), day);
    }
    painter.restore();
}

void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& s, const QDateTime& moment)
{
    double at = 3; // half of the cluster's end padding on each side
    if (s.nowPlaying != NowPlayingStyle::off) {
        const double length = s.nowPlayingLength();
        NowPlayingFace::draw(painter, slot(s, rect, at, length), s);
        at += length + 2;
    }
    if (s.showClock) {
        const double length = s.clockLength();
        drawClock(painter, slot(s, rect, at, length), s, moment);
        at += length + 2;
    }
    if (s.trash == TrashPlacement::corner) {
        const double length = s.fullIconSize() * 0.8 + 12;
        const QRectF place = slot(s, rect, at, length);
        const int side = std::max(1, int(s.fullIconSize() * 0.8));
        painter.drawImage(QRectF(place.center().x() - side / 2.0, place.center().y() - side / 2.0, side, side),
                          SampleIcons::icon(QStringLiteral("~trash"), side));
    }
}

} // namespace CornerClock
