#pragma once

#include "media/ffmpeg_support.h"
#include "media/half_size_frame.h"
#include "media/video_decoder.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <memory>

// A video's frames over and over, scaled for showing: each call decodes the next frame and turns
// it into an RGB image of the asked size; after the last frame it starts again from the first.
// Blocks on the file and the decoder: use it from a worker thread. No sound is ever decoded.
class VideoLoop
{
public:
    // `threads`: decoder threads (0 lets FFmpeg choose).
    bool open(const QString& path, int threads = 0);
    const std::string& error() const { return m_error; }

    // The picture size as shown (rotation and pixel aspect applied).
    QSize displaySize() const { return m_displaySize; }
    // Frames per second the file declares (30 when it declares none).
    double frameRate() const { return m_frameRate; }

    struct Frame
    {
        QImage image;
        double time = 0; // seconds since the start of this pass
        bool restarted = false; // the first frame of a new pass
    };
    // The next frame scaled to fit `size` (keeping its shape); a null image on an error.
    Frame next(QSize size);

private:
    bool reopen();
    QImage scale(const AVFrame* frame, QSize size);
    QImage& reusableImage(QSize size);

    QString m_path;
    int m_threads = 0;
    std::unique_ptr<VideoDecoder> m_decoder;
    FrameHalvings m_halvings;
    Av::SwsPtr m_scaler;
    QSize m_scalerIn, m_scalerOut;
    int m_scalerFormat = -1;
    QSize m_displaySize;
    double m_frameRate = 30;
    int m_rotation = 0;
    std::string m_error;
    // The last few images handed out: one nobody holds any more is drawn into again, which spares
    // a fresh 2 MB allocation (and its page faults) per frame.
    std::array<QImage, 3> m_images;
    size_t m_nextImage = 0;
};
