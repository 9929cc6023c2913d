#include "media/shared_video_loop.h"

#include "media/fill_scaler.h"
#include "media/video_decoder.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

QImage FilledFrame::imageFor(QSize size) const
{
    const qsizetype index = sizes.indexOf(size);
    return index >= 0 && index < images.size() ? images[index] : QImage();
}

SharedVideoLoop::SharedVideoLoop(const QString& path, QList<QSize> sizes, bool paused, int threads, PictureMemory memory, QObject* parent)
    : QObject(parent)
    , m_path(path)
    , m_threads(threads)
    , m_memory(std::move(memory))
    , m_paused(paused)
    , m_sizes(std::move(sizes))
    , m_pauseWanted(paused)
{
    m_worker = std::thread([this] { run(); });
}

SharedVideoLoop::~SharedVideoLoop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    // At most the frame being decoded: the worker looks at the flag between frames and sleeps.
    m_worker.join();
}

void SharedVideoLoop::setSizes(QList<QSize> sizes)
{
    std::lock_guard lock(m_mutex);
    m_sizes = std::move(sizes);
}

void SharedVideoLoop::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    {
        std::lock_guard lock(m_mutex);
        m_pauseWanted = paused;
    }
    m_wake.notify_all();
}

bool SharedVideoLoop::waitUntil(double seconds, const std::function<double()>& now)
{
    std::unique_lock lock(m_mutex);
    while (!m_stop && !m_pauseWanted) {
        const double left = seconds - now();
        if (left <= 0.0005)
            return true;
        m_wake.wait_for(lock, std::chrono::microseconds(std::llround(left * 1e6)));
    }
    return false;
}

void SharedVideoLoop::run()
{
    auto fail = [this](const std::string& error) {
        QMetaObject::invokeMethod(this, [this, text = QString::fromStdString(error)] { emit failed(text); }, Qt::QueuedConnection);
    };
    auto decoder = std::make_unique<VideoDecoder>();
    if (!decoder->open(m_path.toStdString(), m_threads))
        return fail(decoder->error());

    double pixelAspect = 1;
    {
        const AVCodecContext* codec = decoder->codec();
        const AVRational sar = codec->sample_aspect_ratio.num ? codec->sample_aspect_ratio : decoder->stream()->sample_aspect_ratio;
        if (sar.num > 0 && sar.den > 0)
            pixelAspect = av_q2d(sar);
    }
    const int rotation = Av::clockwiseRotation(decoder->stream());
    // One scaler per size asked for: each keeps its converter and its pictures, which a single
    // scaler switching between two displays' sizes would make anew for every frame.
    std::vector<std::pair<QSize, std::unique_ptr<FillScaler>>> scalers;
    const auto scalerFor = [&](QSize size) -> FillScaler& {
        for (auto& [made, scaler] : scalers)
            if (made == size)
                return *scaler;
        auto scaler = std::make_unique<FillScaler>();
        scaler->setMemory(m_memory);
        scaler->setShape(pixelAspect, rotation);
        return *scalers.emplace_back(size, std::move(scaler)).second;
    };
    const AVRational rate = decoder->stream()->avg_frame_rate.num ? decoder->stream()->avg_frame_rate : decoder->stream()->r_frame_rate;
    const double frameTime = rate.num > 0 && rate.den > 0 ? std::clamp(av_q2d(av_inv_q(rate)), 1.0 / 240, 1.0) : 1.0 / 30;

    QElapsedTimer clock;
    clock.start();
    const auto now = [&clock] { return clock.nsecsElapsed() / 1e9; };
    double passStart = 0; // clock time at which the current pass began
    double lastTime = 0;
    bool shownOne = false;
    bool endedOnce = false;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (shownOne && m_pauseWanted) {
                const double pausedAt = now();
                m_wake.wait(lock, [this] { return m_stop || !m_pauseWanted; });
                // Time spent paused is not time the video has played.
                passStart += now() - pausedAt;
            }
            if (m_stop)
                return;
        }
        const AVFrame* frame = decoder->next();
        if (!frame) {
            if (decoder->failed())
                return fail(decoder->error());
            // The end: again from the start with a fresh decoder (nothing left over from the end).
            // A file without a single frame would spin, so a pass must show one.
            if (endedOnce && !shownOne)
                return fail("the video has no frames");
            endedOnce = true;
            passStart += lastTime + frameTime;
            lastTime = 0;
            decoder = std::make_unique<VideoDecoder>();
            if (!decoder->open(m_path.toStdString(), m_threads))
                return fail(decoder->error());
            continue;
        }
        m_decoded.fetch_add(1);
        FilledFrame filled;
        {
            std::lock_guard lock(m_mutex);
            filled.sizes = m_sizes;
        }
        // Sizes no longer asked for let go of their pictures.
        std::erase_if(scalers, [&](const auto& entry) { return !filled.sizes.contains(entry.first); });
        for (const QSize size : std::as_const(filled.sizes)) {
            FillScaler& scaler = scalerFor(size);
            QImage image = scaler.fill(frame, size);
            if (image.isNull())
                return fail(scaler.error());
            filled.images.append(std::move(image));
        }
        lastTime = std::max(0.0, decoder->time());
        double due = passStart + lastTime;
        // Far behind (a busy machine, a slow disk): drop the lag instead of rushing to catch up.
        if (now() - due > 0.25) {
            passStart += now() - due;
            due = now();
        }
        if (shownOne && !waitUntil(due, now))
            continue; // paused or stopped meanwhile: this frame is dropped, the next one shows
        shownOne = true;
        // A main thread that falls behind gets the newest frames, not a growing queue.
        if (m_inFlight.load() >= 2)
            continue;
        m_inFlight.fetch_add(1);
        // The destructor joins this thread, so `this` outlives the call's queuing; Qt drops the
        // call if the object is gone when it is due.
        QMetaObject::invokeMethod(this, [this, filled = std::move(filled)] {
            m_inFlight.fetch_sub(1);
            emit frameReady(filled);
        }, Qt::QueuedConnection);
    }
}
