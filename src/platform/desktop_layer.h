#pragma once

#include <QtGlobal>

#include <memory>

// Puts windows on the desktop's own layer: behind every other window, on every workspace, never
// focused, left out of pagers and task lists. The wallpaper player's windows live there, and
// over them the windows that decorate the desktop (the clock).
class DesktopLayer
{
public:
    // Where on the layer a window sits: wallpapers at the very bottom, decorations just above
    // the topmost wallpaper (and still below every ordinary window).
    enum class Level { wallpaper, overWallpaper };

    virtual ~DesktopLayer() = default;

    static DesktopLayer& system();
    static std::unique_ptr<DesktopLayer> makeSystem();

    // Whether windows of this process can be placed there (an X11 session shown on a real X
    // server, not an offscreen or Wayland one).
    virtual bool available() const = 0;
    // Marks a window that exists but is not shown yet (its native id) as a desktop window of
    // that level. False when the window system has no such layer (Wayland, no X connection).
    virtual bool place(quintptr nativeWindow, Level level = Level::wallpaper) = 0;
    // Puts a placed window where its level belongs in the stacking order (after it is shown,
    // and again whenever others of the layer may have come in between).
    virtual bool stack(quintptr nativeWindow, Level level) = 0;
    // Whether a compositing manager blends see-through windows with what lies under them; without
    // one, a see-through window has to cut itself to the shape of what it draws.
    virtual bool composited() = 0;
};
