#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// A video played silently over and over for a preview: decoded on a worker thread at the asked
// size, paced by the frames' own times, each frame handed to the main thread by frameReady().
// No sound is ever decoded.
class LoopingFrames : public QObject
{
    Q_OBJECT
public:
    explicit LoopingFrames(QObject* parent = nullptr);
    ~LoopingFrames() override;

    // Starts playing `path` (stopping what played before) with frames scaled to fit `size`.
    void start(const QString& path, QSize size);
    // Stops decoding without waiting for the frame being decoded; frames of the stopped run
    // still on their way are dropped.
    void stop();
    // The size later frames are scaled to.
    void setSize(QSize size);

    bool isRunning() const { return m_worker.joinable(); }
    // Waits for stopped runs to end (tests, benchmarks).
    void waitForStopped();
    const QString& path() const { return m_path; }

signals:
    void frameReady(const QImage& image);

private:
    void run(QString path, std::shared_ptr<std::atomic<bool>> stop, int run);

    QString m_path;
    int m_run = 0; // main thread only: frames of another run are dropped
    std::thread m_worker;
    std::vector<std::thread> m_stopped; // told to stop; joined later, by then long done
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
};
