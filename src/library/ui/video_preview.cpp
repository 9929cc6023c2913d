#include "library/ui/video_preview.h"

#include "brand/brand.h"
#include "media/video_loop.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <chrono>

Q_LOGGING_CATEGORY(lcPreview, "zentrove.library.preview")

VideoPreview::VideoPreview(const QString& path, QWidget* parent)
    : QWidget(parent)
    , m_path(path)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

VideoPreview::~VideoPreview()
{
    stop();
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

void VideoPreview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window() != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = window();
        m_watchedWindow->installEventFilter(this);
    }
    sync();
}

void VideoPreview::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    sync();
}

void VideoPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const qreal dpr = devicePixelRatioF();
    m_width = int(width() * dpr);
    m_height = int(height() * dpr);
}

bool VideoPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow && (event->type() == QEvent::WindowStateChange || event->type() == QEvent::Hide || event->type() == QEvent::Show))
        sync();
    return QWidget::eventFilter(watched, event);
}

void VideoPreview::sync()
{
    const bool wanted = isVisible() && !(window()->windowState() & Qt::WindowMinimized);
    if (wanted && !isDecoding())
        start();
    else if (!wanted && isDecoding())
        stop();
}

void VideoPreview::start()
{
    m_stop = std::make_shared<std::atomic<bool>>(false);
    const qreal dpr = devicePixelRatioF();
    m_width = int(width() * dpr);
    m_height = int(height() * dpr);
    m_worker = std::thread([this] { run(); });
}

void VideoPreview::stop()
{
    if (!m_worker.joinable())
        return;
    m_stop->store(true);
    m_worker.join();
    ++m_run; // frames still on their way belong to the stopped run
}

void VideoPreview::run()
{
    const std::shared_ptr<std::atomic<bool>> stopFlag = m_stop;
    const int run = m_run;
    VideoLoop loop;
    if (!loop.open(m_path, 2)) {
        qCWarning(lcPreview).noquote() << QStringLiteral("Paneflow: preview of %1 failed: %2").arg(m_path, QString::fromStdString(loop.error()));
        return;
    }
    const double frameTime = 1.0 / std::max(1.0, loop.frameRate());
    QElapsedTimer clock;
    clock.start();
    double passStart = 0; // clock time at which the current pass began
    double lastTime = 0;
    while (!stopFlag->load()) {
        const QSize size(std::max(2, m_width.load()), std::max(2, m_height.load()));
        VideoLoop::Frame frame = loop.next(size);
        if (frame.image.isNull()) {
            qCWarning(lcPreview).noquote() << QStringLiteral("Paneflow: preview of %1 stopped: %2").arg(m_path, QString::fromStdString(loop.error()));
            return;
        }
        if (frame.restarted)
            passStart += lastTime + frameTime;
        lastTime = std::max(0.0, frame.time);
        double due = passStart + lastTime;
        double now = clock.nsecsElapsed() / 1e9;
        // Far behind (a busy machine, a slow disk): drop the lag instead of rushing to catch up.
        if (now - due > 0.25) {
            passStart += now - due;
            due = now;
        }
        while (!stopFlag->load() && due - now > 0.0005) {
            std::this_thread::sleep_for(std::chrono::microseconds(int(std::min(0.02, due - now) * 1e6)));
            now = clock.nsecsElapsed() / 1e9;
        }
        if (stopFlag->load())
            return;
        // The widget outlives this thread (its destructor joins), so the queued call is safe;
        // Qt drops it if the widget goes first.
        QMetaObject::invokeMethod(this, [this, run, image = std::move(frame.image)]() mutable {
            if (run != m_run)
                return;
            m_frame = std::move(image);
            ++m_framesShown;
            update();
            emit frameShown();
        }, Qt::QueuedConnection);
    }
}
