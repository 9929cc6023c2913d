#pragma once

#include "media/picture_memory.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// One frame of a shared loop, made once for every size its viewers asked for.
struct FilledFrame
{
    QList<QSize> sizes;
    QList<QImage> images; // images[i] fills sizes[i]

    // The image made for `size`, or a null image when that size was not asked for.
    QImage imageFor(QSize size) const;
};

// A video played silently over and over for any number of viewers with one decoder: decoded on a
// worker thread, paced by the frames' own times, each frame cut and scaled to fill every size
// asked for and handed to the main thread by frameReady(). Paused, the worker decodes nothing and
// waits; resumed, it goes on from the frame after the last one shown.
class SharedVideoLoop : public QObject
{
    Q_OBJECT
public:
    // `threads`: decoder threads (0 lets FFmpeg choose). Starts at once unless `paused`; paused
    // from the start, it still makes the first frame, so there is something to show. The
    // pictures go into `memory` when given.
    SharedVideoLoop(const QString& path, QList<QSize> sizes, bool paused = false, int threads = 0, PictureMemory memory = {},
                    QObject* parent = nullptr);
    ~SharedVideoLoop() override;

    const QString& path() const { return m_path; }
    void setSizes(QList<QSize> sizes);
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Frames decoded since the start (any thread).
    qint64 framesDecoded() const { return m_decoded.load(); }

signals:
    void frameReady(const FilledFrame& frame);
    // The file cannot be opened or decoded; the loop has ended.
    void failed(const QString& error);

private:
    void run();
    // Sleeps until `seconds` on the run's clock; false when told to stop or pause meanwhile.
    bool waitUntil(double seconds, const std::function<double()>& now);

    QString m_path;
    int m_threads = 0;
    PictureMemory m_memory; // read by the worker only
    bool m_paused = false; // main thread's view

    std::mutex m_mutex;
    std::condition_variable m_wake;
    QList<QSize> m_sizes;       // guarded by m_mutex
    bool m_pauseWanted = false; // guarded by m_mutex
    bool m_stop = false;        // guarded by m_mutex

    std::atomic<int> m_inFlight {0}; // frames handed over but not yet delivered
    std::atomic<qint64> m_decoded {0};
    std::thread m_worker;
};
