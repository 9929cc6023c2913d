#include "taskbar/preview/now_playing_face.h"

#include "taskbar/clock_text.h"
#include "taskbar/preview/sample_icons.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace NowPlayingFace {

namespace {

void drawArtwork(QPainter& painter, const QRectF& tile)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    const double radius = tile.width() * 0.18;
    clip.addRoundedRect(tile, radius, radius);
    painter.setClipPath(clip);
    QLinearGradient sky(tile.topLeft(), tile.bottomRight());
    sky.setColorAt(0, QColor(0x3B, 0x1E, 0x6E));
    sky.setColorAt(1, QColor(0xF2, 0x6B, 0x8A));
    painter.fillRect(tile, sky);
    const int side = std::max(1, int(tile.width() * 0.6));
    const QImage icon = SampleIcons::icon(sampleApp(), side);
    painter.drawImage(QRectF(tile.center().x() - side / 2.0, tile.center().y() - side / 2.0, side, side), icon);
    painter.restore();
}

} // namespace

void drawLevels(QPainter& painter, const QRectF& rect, const QColor& colour, double phase, int bars)
{
    if (bars <= 0 || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double width = rect.width() / (bars * 2 - 1);
    for (int i = 0; i < bars; ++i) {
        const double level = 0.35 + 0.65 * std::fabs(std::sin((phase + i * 0.37) * 3.14159));
        const double height = rect.height() * level;
        const QRectF bar(rect.left() + i * 2 * width, rect.bottom() - height, width, height);
        painter.drawRoundedRect(bar, width / 2, width / 2);
    }
    painter.restore();
}

void drawMarquee(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QColor& colour,
                 double offset)
{
    if (rect.width() <= 0)
        return;
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetricsF metrics(font, painter.device());
    const double textWidth = metrics.horizontalAdvance(text);
    const double baseline = rect.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(rect.left() - (textWidth > rect.width() ? offset : 0), baseline), text);
    painter.restore();
}

void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& s)
{
    if (s.nowPlaying == NowPlayingStyle::off || rect.isEmpty())
        return;
    const double tile = s.tileHeight();
    const QColor text = s.foreground.color(1);
    const bool vertical = s.vertical();
    QFont font = ClockText::designFont(ClockFont::standard);
    font.setPointSizeF(std::max(0.5, 12.0));
    font.setWeight(QFont::Medium);

    switch (s.nowPlaying) {
    case NowPlayingStyle::off:
        return;
    case NowPlayingStyle::artwork: {
        const double side = std::min({tile, rect.width(), rect.height()}) - 4;
        drawArtwork(painter, QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side));
        return;
    }
    case NowPlayingStyle::song: {
        if (vertical) {
            drawLevels(painter, QRectF(rect.center().x() - 7, rect.center().y() - 7, 14, 14), text);
            return;
        }
        drawLevels(painter, QRectF(rect.left() + 4, rect.center().y() - 7, 12, 14), text);
        drawMarquee(painter, rect.adjusted(22, 0, -4, 0), sampleTitle(), font, text);
        return;
    }
    case NowPlayingStyle::full: {
        const double side = std::min(tile, vertical ? rect.width() : rect.height()) - 6;
        if (vertical) {
            drawArtwork(painter, QRectF(rect.center().x() - side / 2, rect.top() + 2, side, side));
            drawLevels(painter, QRectF(rect.center().x() - 7, rect.top() + side + 8, 14, 14), text);
            return;
        }
        drawArtwork(painter, QRectF(rect.left() + 2, rect.center().y() - side / 2, side, side));
        drawMarquee(painter, QRectF(rect.left() + side + 10, rect.top(), rect.width() - side - 14, rect.height()),
                    sampleTitle(), font, text);
        return;
    }
    }
}

} // namespace NowPlayingFace
