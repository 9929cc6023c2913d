#include "library/ui/video_preview.h"

#include "brand/brand.h"

#include <QPainter>

VideoPreview::VideoPreview(const QString& path, QWidget* parent)
    : QWidget(parent)
    , m_path(path)
    , m_onScreen(new OnScreenWatch(this))
{
    // Every pixel is painted, the rounded corners in the colour behind the preview.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_frames, &LoopingFrames::frameReady, this, [this](const QImage& image) {
        m_frame = image;
        ++m_framesShown;
        update();
        emit frameShown();
    });
    connect(m_onScreen, &OnScreenWatch::changed, this, &VideoPreview::sync);
}

VideoPreview::~VideoPreview() = default;

QSize VideoPreview::pixelSize() const
{
    const qreal dpr = devicePixelRatioF();
    return {int(width() * dpr), int(height() * dpr)};
}

void VideoPreview::paintEvent(QPaintEvent*)
{
    // Many times a second: the frame, already decoded at this size, is a plain copy at whole
    // pixels; black fills only the bands it leaves; the corners are rounded last.
    QPainter painter(this);
    QRect target;
    if (!m_frame.isNull()) {
        const QSize shown = (QSizeF(m_frame.size()) / devicePixelRatioF()).scaled(QSizeF(size()), Qt::KeepAspectRatio).toSize();
        target = QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    }
    const QRegion bands = QRegion(rect()) - target;
    for (const QRect& band : bands)
        painter.fillRect(band, Qt::black);
    if (!target.isEmpty())
        painter.drawImage(target, m_frame);
    const QWidget* behind = parentWidget() ? parentWidget() : this;
    m_corners.paint(painter, rect(), int(Brand::radius), behind->palette().color(behind->backgroundRole()));
}

void VideoPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_frames.setSize(pixelSize());
}

void VideoPreview::sync()
{
    const bool wanted = m_onScreen->isOnScreen();
    if (wanted && !isDecoding())
        m_frames.start(m_path, pixelSize());
    else if (!wanted && isDecoding())
        m_frames.stop();
}


