#pragma once

#include "media/ffmpeg_support.h"
#include "media/half_size_frame.h"
#include "media/picture_memory.h"

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

// Turns decoded video frames into RGB pictures that fill a given size: the middle of the frame,
// cut to the size's shape, scaled with its aspect kept (the way a wallpaper covers a screen).
// Pictures come from a small pool of FFmpeg buffers: one nobody holds any more is drawn into
// again, so playing does not allocate a fresh picture per frame.
class FillScaler
{
public:
    // `pixelAspect`: width of a stored pixel over its height; `rotation`: clockwise degrees the
    // frames are turned by to be shown (0, 90, 180, 270).
    void setShape(double pixelAspect, int rotation);
    // Pictures made from now on go into blocks of `memory`.
    void setMemory(PictureMemory memory) { m_memory = std::move(memory); }

    // A null image (with error() telling why) when the frame or size cannot be scaled.
    QImage fill(const AVFrame* frame, QSize size);
    const std::string& error() const { return m_error; }

    // The part of a `frame`-sized picture (stored pixels) that fills `target`, centred.
    static QRect crop(QSize frame, double pixelAspect, QSize target);

private:
    AVFrame* reusableFrame(QSize size);
    Av::FramePtr frameInMemory(QSize size) const;

    bool scale(const AVFrame* in, AVFrame* out);

    FrameHalvings m_halvings;
    Av::SwsPtr m_scaler;
    int m_scalerIn[3] = {0, 0, -1}; // width, height, format the scaler was made for
    int m_scalerOut[2] = {0, 0};
    std::vector<Av::FramePtr> m_pool;
    PictureMemory m_memory;
    double m_pixelAspect = 1;
    int m_rotation = 0;
    std::string m_error;
};
