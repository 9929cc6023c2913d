#pragma once

#include "clock/clock_style.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

class StyleStore;

// A picture of what the lock screen shows: a background filling the screen with the clock on top,
// drawn at scale 1 (the picture is the screen, one pixel per point).
namespace ClockSnapshot {

QImage render(const ClockStyle& style, QSize screen, const QDateTime& date, const QImage& background = QImage());
// The picture behind the clock: the previews' picture when set and readable, else the current
// wallpaper's thumbnail, else none.
QImage background(const StyleStore& store);
// Writes a PNG atomically; false (logged) when it cannot.
bool writePng(const QImage& image, const QString& path);

} // namespace ClockSnapshot
