#include "app/ui/look_preview.h"

#include "brand/brand.h"
#include "clock/clock_view.h"
#include "taskbar/preview/preview_bar.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

LookPreview::LookPreview(QWidget* parent)
    : QWidget(parent)
    , m_onScreen(new OnScreenWatch(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(&m_frames, &LoopingFrames::frameReady, this, [this](const QImage& frame) {
        m_frame = frame;
        ++m_framesShown;
        update(screenRect().toAlignedRect());
    });
    connect(m_onScreen, &OnScreenWatch::changed, this, &LookPreview::syncVideo);
}

LookPreview::~LookPreview() = default;

void LookPreview::setVideo(const QString& path)
{
    if (path == m_video)
        return;
    m_video = path;
    m_frames.stop();
    m_frame = {};
    m_framesShown = 0;
    syncVideo();
    update();
}

QSize LookPreview::framePixels() const
{
    return (screenRect().size() * devicePixelRatioF()).toSize();
}

void LookPreview::syncVideo()
{
    const bool wanted = !m_video.isEmpty() && m_onScreen->isOnScreen();
    if (wanted && !m_frames.isRunning())
        m_frames.start(m_video, framePixels());
    else if (!wanted && m_frames.isRunning())
        m_frames.stop();
}

void LookPreview::setScreenSize(const QSizeF& size)
{
    const QSizeF screen = size.isEmpty() ? QSizeF(1512, 982) : size;
    if (screen == m_screen)
        return;
    m_screen = screen;
    m_behind = {};
    m_clock.reset();
    setFixedHeight(heightForWidth(width()));
    update();
}

void LookPreview::setPlace(LookPlace place)
{
    if (place == m_place)
        return;
    m_place = place;
    update();
}

void LookPreview::setWallpaper(const QImage& image)
{
    if (image.cacheKey() == m_wallpaper.cacheKey())
        return;
    m_wallpaper = image;
    m_behind = {};
    update();
}

void LookPreview::setBar(const std::optional<TaskbarSettings>& settings)
{
    if (settings == m_bar)
        return;
    m_bar = settings;
    update();
}

void LookPreview::setClock(const std::optional<ClockStyle>& style)
{
    if (style == m_clockStyle)
        return;
    m_clockStyle = style;
    m_clock.reset();
    update();
}

int LookPreview::heightForWidth(int width) const
{
    // A tall display is shown narrower rather than taller than the page can hold.
    return std::min(maxHeight, int(std::round(width * m_screen.height() / m_screen.width())));
}

void LookPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int wanted = heightForWidth(width());
    if (minimumHeight() != wanted)
        setFixedHeight(wanted);
    m_frames.setSize(framePixels());
}

QSize LookPreview::sizeHint() const
{
    return {520, heightForWidth(520)};
}

QRectF LookPreview::screenRect() const
{
    const QSizeF fitted = m_screen.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return {QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

const QImage& LookPreview::screenWallpaper(const QSize& points)
{
    if (m_behind.size() != points && !m_wallpaper.isNull())
        m_behind = m_wallpaper.scaled(points, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                       .copy(QRect(QPoint(0, 0), points));
    return m_behind;
}

void LookPreview::paintInto(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(rect, Brand::radius, Brand::radius);
    painter.setClipPath(clip);

    // A playing video's frame, else the picture (a glass bar keeps blurring the picture: it is
    // not worth redoing for every frame).
    const QImage& picture = m_frame.isNull() ? m_wallpaper : m_frame;
    if (picture.isNull()) {
        painter.fillRect(rect, Brand::sidebar());
    } else {
        // Cover the display: crop the picture to its proportions, centred.
        const QSizeF source = QSizeF(rect.size()).scaled(QSizeF(picture.size()), Qt::KeepAspectRatio);
        const QRectF from(QPointF((picture.width() - source.width()) / 2, (picture.height() - source.height()) / 2), source);
        painter.drawImage(rect, picture, from);
    }

    const double scale = rect.width() / m_screen.width();
    if (m_place == LookPlace::desktop) {
        painter.save();
        painter.translate(rect.topLeft());
        painter.scale(scale, scale);
        // The desktop's top bar, which the bar keeps clear of.
        painter.fillRect(QRectF(0, 0, m_screen.width(), PreviewBar::menuBarHeight), QColor(0, 0, 0, 90));
        if (m_bar) {
            const bool glass = m_bar->backgroundStyle == BackgroundStyle::glass;
            const QImage* behind = glass ? &screenWallpaper(m_screen.toSize()) : nullptr;
            PreviewBar(*m_bar).draw(painter, m_screen, PreviewBar::menuBarHeight, behind && !behind->isNull() ? behind : nullptr);
        }
        painter.restore();
    } else if (m_clockStyle) {
        if (!m_clock || std::abs(m_clock->scale() - scale) > 1e-6)
            m_clock = std::make_unique<ClockView>(*m_clockStyle, scale);
        m_clock->drawOnScreen(painter, rect, ClockView::currentDate());
    }
    painter.restore();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Brand::line(), 1));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), Brand::radius, Brand::radius);
    painter.restore();
}

void LookPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintInto(painter, screenRect());
}
