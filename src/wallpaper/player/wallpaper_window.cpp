#include "wallpaper/player/wallpaper_window.h"

#include "platform/desktop_layer.h"

#include <QPainter>

#include <cmath>

WallpaperWindow::WallpaperWindow(DesktopLayer& layer, const QRect& geometry)
{
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus
             | Qt::WindowTransparentForInput);
    setTitle(QStringLiteral("Paneflow"));
    setGeometry(geometry);
    // The hints go on before the window is first shown: window managers read them when mapping.
    create();
    layer.place(winId());
    QRasterWindow::show();
    lower();
}

void WallpaperWindow::cover(const QRect& geometry)
{
    if (geometry != this->geometry())
        setGeometry(geometry);
}

QSize WallpaperWindow::pixelSize() const
{
    const double ratio = devicePixelRatio();
    return QSize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio))).expandedTo(QSize(1, 1));
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
