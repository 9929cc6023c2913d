#include "library/ui/video_preview.h"

#include "brand/brand.h"

#include <QPainter>
#include <QPainterPath>

VideoPreview::VideoPreview(const QString& path, QWidget* parent)
    : QWidget(parent)
    , m_path(path)
    , m_onScreen(new OnScreenWatch(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
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
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), Brand::radius, Brand::radius);
    painter.setClipPath(clip);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    const qreal dpr = devicePixelRatioF();
    const QSizeF shown = QSizeF(m_frame.size() / dpr).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    painter.drawImage(target, m_frame);
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


