#include "clock/ui/screen_preview.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "clock/clock_hours.h"
#include "clock/clock_ticker.h"
#include "clock/ui/backdrop_images.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace {
constexpr double corner = 8;
} // namespace

ScreenPreview::ScreenPreview(QWidget* parent)
    : QWidget(parent)
    , m_ticker(new ClockTicker(false, this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMinimumSize(200, 130);
    setAccessibleName(QStringLiteral("Clock preview"));
    connect(m_ticker, &ClockTicker::tick, this, qOverload<>(&QWidget::update));
    connect(&BrandAccent::shared(), &BrandAccent::hexChanged, this, &ScreenPreview::restyle);
    connect(&ClockHours::shared(), &ClockHours::formatChanged, this, &ScreenPreview::restyle);
}

ScreenPreview::~ScreenPreview() = default;

QSizeF ScreenPreview::screenSize()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSizeF size = screen->size();
        if (size.width() > 0 && size.height() > 0)
            return size;
    }
    return {ClockView::defaultScreenWidth, 982};
}

int ScreenPreview::heightForWidth(int width) const
{
    const QSizeF screen = screenSize();
    return qRound(width * screen.height() / screen.width());
}

QSize ScreenPreview::sizeHint() const
{
    return {440, heightForWidth(440)};
}

void ScreenPreview::setClockStyle(const ClockStyle& style)
{
    if (style == m_style && m_view)
        return;
    m_style = style;
    m_ticker->setSeconds(style.showSeconds);
    restyle();
}

void ScreenPreview::setBackdrop(const QImage& image)
{
    if (image.cacheKey() == m_backdrop.cacheKey())
        return;
    m_backdrop = image;
    m_scaledBackdrop = QImage();
    update();
}

void ScreenPreview::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void ScreenPreview::restyle()
{
    m_view.reset();
    update();
}

void ScreenPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_scaledBackdrop = QImage();
    m_view.reset();
}

void ScreenPreview::paintEvent(QPaintEvent*)
{
    // The screen keeps the display's shape inside whatever room the layout gives.
    const QSizeF shape = screenSize().scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF screen(QPointF((width() - shape.width()) / 2, (height() - shape.height()) / 2), shape);
    const double dpr = devicePixelRatioF();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(screen, corner, corner);
    painter.setClipPath(clip);
    painter.fillRect(screen, Brand::sidebar());
    if (!m_backdrop.isNull()) {
        // Scaled once per size; a repaint for the clock only blits it.
        const QSize pixels = (screen.size() * dpr).toSize();
        if (m_scaledBackdrop.size() != pixels) {
            m_scaledBackdrop = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            m_scaledBackdrop.fill(Brand::sidebar());
            QPainter scaler(&m_scaledBackdrop);
            scaler.setRenderHint(QPainter::SmoothPixmapTransform);
            drawFilling(scaler, QRectF(QPointF(0, 0), QSizeF(pixels)), m_backdrop);
            m_scaledBackdrop.setDevicePixelRatio(dpr);
        }
        painter.drawImage(screen.topLeft(), m_scaledBackdrop);
    }
    if (!m_view || m_view->scale() != ClockView::scaleFor(screen.width(), screenSize().width()))
        m_view.emplace(m_style, ClockView::scaleFor(screen.width(), screenSize().width()));
    m_view->drawOnScreen(painter, screen, ClockView::currentDate());

    painter.setClipping(false);
    painter.setPen(QPen(Brand::line(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(screen.adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
    if (!m_caption.isEmpty()) {
        painter.setFont(BrandFont::mono(7.5, QFont::Medium));
        const QRectF line = screen.adjusted(12, 0, -12, -8);
        painter.setPen(QColor(0, 0, 0, 110));
        painter.drawText(line.translated(0, 1), Qt::AlignLeft | Qt::AlignBottom, m_caption);
        painter.setPen(QColor(255, 255, 255, 200));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, m_caption);
    }
}

QImage ScreenPreview::render(const ClockStyle& style, QSize size, double dpr, const QImage& backdrop)
{
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Brand::sidebar());
    image.setDevicePixelRatio(dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF screen(QPointF(0, 0), QSizeF(size));
    drawFilling(painter, screen, backdrop);
    ClockView(style, ClockView::scaleFor(size.width(), screenSize().width())).drawOnScreen(painter, screen, ClockView::currentDate());
    return image;
}
