#pragma once

#include <QtGlobal>

#include <memory>

// Puts windows on the desktop's own layer: behind every other window, on every workspace, never
// focused, left out of pagers and task lists. The wallpaper player's windows live there.
class DesktopLayer
{
public:
    virtual ~DesktopLayer() = default;

    static DesktopLayer& system();
    static std::unique_ptr<DesktopLayer> makeSystem();

    // Whether windows of this process can be placed there (an X11 session shown on a real X
    // server, not an offscreen or Wayland one).
    virtual bool available() const = 0;
    // Marks a window that exists but is not shown yet (its native id) as a desktop window.
    // False when the window system has no such layer (Wayland, no X connection).
    virtual bool place(quintptr nativeWindow) = 0;
};
