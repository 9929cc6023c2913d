#pragma once

#include "platform/desktop_layer.h"

#include <QRasterWindow>

// A borderless window on the desktop layer at a given level: never focused, passing every click
// through to the desktop, shown as soon as it is made. A see-through one keeps an alpha channel.
class DesktopWindow : public QRasterWindow
{
    Q_OBJECT
public:
    DesktopWindow(DesktopLayer& layer, DesktopLayer::Level level, const QRect& geometry, bool seeThrough = false);

    // Covers `geometry` (in points, on the whole desktop).
    void cover(const QRect& geometry);
    // The size pictures are made at to fill the window pixel for pixel.
    QSize pixelSize() const;

protected:
    DesktopLayer& layer() const { return m_layer; }
    DesktopLayer::Level level() const { return m_level; }

private:
    DesktopLayer& m_layer;
    DesktopLayer::Level m_level;
};
