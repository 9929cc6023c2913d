#pragma once

#include "platform/desktop_window.h"

#include <QImage>

// The clock on one display's desktop: a see-through window on the desktop layer, over the
// wallpaper and under every other window, just big enough for the drawn clock.
class DesktopClockWindow : public DesktopWindow
{
    Q_OBJECT
public:
    DesktopClockWindow(DesktopLayer& layer, const QRect& geometry);

    // Shows the drawn clock (device pixels, see-through around it) with its top-left at `at`
    // on the whole desktop, in points.
    void showClock(const QImage& image, QPointF at);
    const QImage& clock() const { return m_image; }
    // Clocks shown since the window was made (tests).
    qint64 shownCount() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Without a compositing manager the window is cut to the clock's own pixels.
    void cutToShape();

    QImage m_image;
    QPointF m_phase; // of the picture inside the window, below one point
    qint64 m_shown = 0;
};
