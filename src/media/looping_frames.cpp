#include "media/looping_frames.h"

#include "media/video_loop.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMetaObject>

#include <chrono>

Q_LOGGING_CATEGORY(lcLoopingFrames, "zentrove.media.preview")

LoopingFrames::LoopingFrames(QObject* parent)
    : QObject(parent)
{
}

LoopingFrames::~LoopingFrames()
{
    stop();
    waitForStopped();
}

void LoopingFrames::waitForStopped()
{
    for (std::thread& thread : m_stopped)
        thread.join();
    m_stopped.clear();
}

void LoopingFrames::start(const QString& path, QSize size)
{
    stop();
    m_path = path;
    setSize(size);
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_worker = std::thread([this, path, stopFlag = m_stop, run = m_run] { this->run(path, stopFlag, run); });
}

void LoopingFrames::stop()
{
    if (!m_worker.joinable())
        return;
    m_stop->store(true);
    // Waiting for a frame being decoded would hold up the main thread: a run that was told to
    // stop ends on its own (each run has its own stop flag), and the thread is joined later.
    if (m_stopped.size() >= 4) {
        m_stopped.front().join();
        m_stopped.erase(m_stopped.begin());
    }
    m_stopped.push_back(std::move(m_worker));
    ++m_run; // frames still on their way belong to the stopped run
}

void LoopingFrames::setSize(QSize size)
{
    m_width = std::max(2, size.width());
    m_height = std::max(2, size.height());
}

void LoopingFrames::run(QString path, std::shared_ptr<std::atomic<bool>> stopFlag, int run)
{
    VideoLoop loop;
    bool opened = loop.open(path, 1);
    // One decoder thread costs the least CPU (frame threads add their own hand-over work) and keeps
    // up with 1080p60 on a single core; a busier clip gets a second thread so it plays smoothly.
    constexpr double oneThreadPixelsPerSecond = 1920.0 * 1080.0 * 60.0;
    const QSize shown = loop.displaySize();
    if (opened && double(shown.width()) * shown.height() * loop.frameRate() > oneThreadPixelsPerSecond)
        opened = loop.open(path, 2);
    if (!opened) {
        qCWarning(lcLoopingFrames).noquote() << QStringLiteral("Paneflow: preview of %1 failed: %2").arg(path, QString::fromStdString(loop.error()));
        return;
    }
    const double frameTime = 1.0 / std::max(1.0, loop.frameRate());
    QElapsedTimer clock;
    clock.start();
    double passStart = 0; // clock time at which the current pass began
    double lastTime = 0;
    while (!stopFlag->load()) {
        VideoLoop::Frame frame = loop.next(QSize(m_width.load(), m_height.load()));
        if (frame.image.isNull()) {
            qCWarning(lcLoopingFrames).noquote() << QStringLiteral("Paneflow: preview of %1 stopped: %2").arg(path, QString::fromStdString(loop.error()));
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
        // The object outlives this thread (its destructor joins), so the queued call is safe; Qt
        // drops it if the object goes first.
        QMetaObject::invokeMethod(this, [this, run, image = std::move(frame.image)] {
            if (run == m_run)
                emit frameReady(image);
        }, Qt::QueuedConnection);
    }
}
