#pragma once

#include "taskbar/taskbar_settings.h"

#include <QPainter>
#include <QRectF>

// The now-playing widget as previews show it, with a sample track: artwork tile, the scrolling
// title (frozen at its start) and a small level meter.
namespace NowPlayingFace {

inline QString sampleTitle() { return QStringLiteral("Midnight City"); }
inline QString sampleApp() { return QStringLiteral("com.apple.Music"); }
inline QString helpText()
{
    return QStringLiteral("The song playing in Music or Spotify, next to the clock. Point at it for the buttons.");
}

// `rect` is the widget's own slot along the bar (its length is NowPlayingStyle's length).
void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& settings);

// The level meter: `bars` bars whose heights follow `phase` (0...1), for animation by callers.
void drawLevels(QPainter& painter, const QRectF& rect, const QColor& colour, double phase = 0.35, int bars = 3);

// A title that does not fit is shown from `offset` points in and fades out at the end.
void drawMarquee(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QColor& colour,
                 double offset = 0);

} // namespace NowPlayingFace
