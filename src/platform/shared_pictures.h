#pragma once

#include <QtGlobal>

#include <cstddef>

class QImage;

// Pictures in memory the display server reads for itself: a window shows one straight from
// there, without the copy into the window's own buffer that painting it costs (for a 1080p video
// that copy costs about as much as turning its frames into RGB). Only on an X11 display on this
// machine that shares memory; elsewhere there is none and windows paint as usual.
class SharedPictures
{
public:
    virtual ~SharedPictures() = default;

    // The display's shared picture memory, or null where there is none. Ask on the main thread
    // once the application exists.
    static SharedPictures* forDisplay();

    // Memory of at least `bytes`, page aligned, that can be shown; null when none can be had.
    // Any thread. Every block goes back through release().
    virtual uchar* allocate(std::size_t bytes) = 0;
    virtual void release(uchar* block) = 0;

    // Puts `image`, whose pixels lie in one block, at the top left of a window (its native id)
    // and returns once the display server has read it, so the block may be drawn into again.
    // False, with nothing shown, when the image is elsewhere or the window cannot take it as it
    // is (another depth, smaller than the picture). Main thread.
    virtual bool show(quintptr nativeWindow, const QImage& image) = 0;
    // The window is going away: what was kept for it goes too. Main thread.
    virtual void forget(quintptr nativeWindow) = 0;
};
