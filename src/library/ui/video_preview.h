#pragma once

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

// A video playing silently over and over, decoded on a worker thread at the widget's size and
// painted as it comes. It decodes only while it is visible in a window that is not minimised.
class VideoPreview : public QWidget
{
    Q_OBJECT
public:
    explicit VideoPreview(const QString& path, QWidget* parent = nullptr);
    ~VideoPreview() override;

    bool isDecoding() const { return m_worker.joinable(); }
    // Frames painted since the widget was made (tests, benchmarks).
    int framesShown() const { return m_framesShown; }
    const QImage& frame() const { return m_frame; }

signals:
    void frameShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sync();
    void start();
    void stop();
    void run();

    QString m_path;
    QImage m_frame;
    int m_framesShown = 0;
    int m_run = 0; // main thread only; read by the worker before it starts posting
    QWidget* m_watchedWindow = nullptr;
    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
};
