#include "platform/desktop_window.h"

#include <QSurfaceFormat>

#include <cmath>

DesktopWindow::DesktopWindow(DesktopLayer& layer, DesktopLayer::Level level, const QRect& geometry, bool seeThrough)
    : m_layer(layer)
    , m_level(level)
{
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus
             | Qt::WindowTransparentForInput);
    if (seeThrough) {
        QSurfaceFormat format = this->format();
        format.setAlphaBufferSize(8);
        setFormat(format);
    }
    setGeometry(geometry);
    // The hints go on before the window is first shown: window managers read them when mapping.
    create();
    layer.place(winId(), level);
    QRasterWindow::show();
    layer.stack(winId(), level);
}

void DesktopWindow::cover(const QRect& geometry)
{
    if (geometry != this->geometry())
        setGeometry(geometry);
}

QSize DesktopWindow::pixelSize() const
{
    const double ratio = devicePixelRatio();
    return QSize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio))).expandedTo(QSize(1, 1));
}
