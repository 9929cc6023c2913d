#include "wallpaper/player/wallpaper_window.h"

#include "platform/shared_pictures.h"

#include <QPainter>

WallpaperWindow::WallpaperWindow(DesktopLayer& layer, const QRect& geometry)
    : DesktopWindow(layer, DesktopLayer::Level::wallpaper, geometry)
    , m_pictures(SharedPictures::forDisplay())
{
    setTitle(QStringLiteral("Paneflow"));
}

WallpaperWindow::~WallpaperWindow()
{
    if (m_pictures)
        m_pictures->forget(winId());
}

void WallpaperWindow::showImage(const QImage& image)
{
    // Kept either way: an expose paints it, and its memory is not drawn into while it is shown.
    m_image = image;
    ++m_shown;
    if (m_pictures && !image.isNull() && image.size() == pixelSize() && m_pictures->show(winId(), image))
        return;
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
