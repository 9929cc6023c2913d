#include "wallpaper/player/wallpaper_window.h"

#include <QPainter>

WallpaperWindow::WallpaperWindow(DesktopLayer& layer, const QRect& geometry)
    : DesktopWindow(layer, DesktopLayer::Level::wallpaper, geometry)
{
    setTitle(QStringLiteral("Paneflow"));
}

void WallpaperWindow::showImage(const QImage& image)
{
    m_image = image;
    ++m_shown;
    update();
}

void WallpaperWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect all(QPoint(0, 0), size());
    if (m_image.isNull()) {
        painter.fillRect(all, Qt::black);
        return;
    }
    // Pixels copied as they are: a wallpaper has nothing behind it to blend with.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_image.size() == pixelSize())
        painter.drawImage(all, m_image);
    else
        painter.drawImage(all, m_image, m_image.rect());
}
