#include "clock/desktop_clock_window.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>

#include <cmath>

DesktopClockWindow::DesktopClockWindow(DesktopLayer& layer, const QRect& geometry)
    : DesktopWindow(layer, DesktopLayer::Level::overWallpaper, geometry, true)
{
    setTitle(QStringLiteral("VizaVedid"));
}

void DesktopClockWindow::showClock(const QImage& image, QPointF at)
{
    m_image = image;
    ++m_shown;
    const double ratio = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
    const QPoint whole(int(std::floor(at.x())), int(std::floor(at.y())));
    m_phase = at - QPointF(whole);
    const QSize size(int(std::ceil(image.width() / ratio + m_phase.x())), int(std::ceil(image.height() / ratio + m_phase.y())));
    cover(QRect(whole, size.expandedTo(QSize(1, 1))));
    cutToShape();
    update();
}

void DesktopClockWindow::cutToShape()
{
    if (layer().composited() || m_image.isNull()) {
        if (!mask().isEmpty())
            setMask(QRegion());
        return;
    }
    // Half-covered pixels count as the clock's; fainter ones (most of the shadow) as the desktop's.
    QImage alpha = m_image.createAlphaMask(Qt::ThresholdAlphaDither);
    const double ratio = m_image.devicePixelRatio();
    if (ratio != 1.0)
        alpha = alpha.scaled(QSize(int(std::ceil(alpha.width() / ratio)), int(std::ceil(alpha.height() / ratio))));
    QRegion shape(QBitmap::fromImage(alpha));
    shape.translate(int(std::lround(m_phase.x())), int(std::lround(m_phase.y())));
    // An empty mask would mean "no mask": keep one pixel's corner instead.
    setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
}

void DesktopClockWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The window's own pixels are replaced, not blended: what is under it shows through the alpha.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!m_image.isNull())
        painter.drawImage(m_phase, m_image);
}
