#pragma once

#include "platform/desktop_window.h"

class SharedPictures;

#include <QImage>

class SharedPictures;

// One display's wallpaper: a window at the bottom of the desktop layer covering the display,
// showing one picture that fills it.
class WallpaperWindow : public DesktopWindow
{
    Q_OBJECT
public:
    WallpaperWindow(DesktopLayer& layer, const QRect& geometry);
    ~WallpaperWindow() override;

    // Shows `image`, stretched when it was made for another size; a null image shows black. A
    // picture of the window's own size in memory the display shares goes there straight, not
    // through painting.
    void showImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // Pictures shown since the window was made (tests, benchmarks).
    qint64 shownCount() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SharedPictures* m_pictures;
    QImage m_image;
    qint64 m_shown = 0;
};
