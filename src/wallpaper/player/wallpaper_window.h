#pragma once

#include <QImage>
#include <QRasterWindow>

class DesktopLayer;

// One display's wallpaper: a borderless window on the desktop layer covering the display, never
// focused and passing every click through to the desktop, showing one picture that fills it.
class WallpaperWindow : public QRasterWindow
{
    Q_OBJECT
public:
    WallpaperWindow(DesktopLayer& layer, const QRect& geometry);

    // Covers `geometry` (in points, on the whole desktop).
    void cover(const QRect& geometry);
    // The size pictures are made at to fill the window pixel for pixel.
    QSize pixelSize() const;

    // Shows `image`, stretched when it was made for another size; a null image shows black.
    void showImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // Pictures shown since the window was made (tests, benchmarks).
    qint64 shownCount() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    qint64 m_shown = 0;
};
