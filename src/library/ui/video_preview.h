#pragma once

#include "brand/ui/corner_mask.h"
#include "brand/ui/on_screen_watch.h"
#include "media/looping_frames.h"

#include <QImage>
#include <QWidget>

// A video playing silently over and over, decoded on a worker thread at the widget's size and
// painted as it comes. It decodes only while it is visible in a window that is not minimised.
class VideoPreview : public QWidget
{
    Q_OBJECT
public:
    explicit VideoPreview(const QString& path, QWidget* parent = nullptr);
    ~VideoPreview() override;

    bool isDecoding() const { return m_frames.isRunning(); }
    // Frames painted since the widget was made (tests, benchmarks).
    int framesShown() const { return m_framesShown; }
    const QImage& frame() const { return m_frame; }

signals:
    void frameShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void sync();
    QSize pixelSize() const;

    QString m_path;
    QImage m_frame;
    int m_framesShown = 0;
    CornerMask m_corners;
    OnScreenWatch* m_onScreen;
    LoopingFrames m_frames;
};
