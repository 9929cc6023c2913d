#pragma once

#include "app/ensembles_model.h"
#include "brand/ui/on_screen_watch.h"
#include "clock/clock_style.h"
#include "media/looping_frames.h"
#include "taskbar/taskbar_settings.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class ClockView;

// A miniature of one display: its wallpaper filling a rectangle of the display's proportions, with
// the bar drawn by the bar preview code on the desktop, or the lock screen clock drawn by the clock
// drawing code on the lock screen. Both are drawn at scale = preview width / display width, so the
// bar and the clock are exact miniatures of what the display will show.
class LookPreview : public QWidget
{
    Q_OBJECT
public:
    explicit LookPreview(QWidget* parent = nullptr);
    ~LookPreview() override;

    // The display's size in points.
    void setScreenSize(const QSizeF& size);
    QSizeF screenSize() const { return m_screen; }
    void setPlace(LookPlace place);
    LookPlace place() const { return m_place; }
    void setWallpaper(const QImage& image);
    // A video wallpaper plays in the miniature while it is visible in a window that is not
    // minimised; the picture of setWallpaper stands in until its first frame. Empty: none.
    void setVideo(const QString& path);
    const QString& video() const { return m_video; }
    bool isPlaying() const { return m_frames.isRunning(); }
    // Video frames painted since the video was set (tests).
    int framesShown() const { return m_framesShown; }
    void setBar(const std::optional<TaskbarSettings>& settings);
    void setClock(const std::optional<ClockStyle>& style);

    // The rectangle the display takes inside the widget.
    QRectF screenRect() const;
    // Draws the miniature into `rect` of any painter (snapshots, benchmarks).
    void paintInto(QPainter& painter, const QRectF& rect);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncVideo();
    QSize framePixels() const;
    const QImage& screenWallpaper(const QSize& points);

    static constexpr int maxHeight = 420;
    QSizeF m_screen {1512, 982};
    LookPlace m_place = LookPlace::desktop;
    QImage m_wallpaper;
    QImage m_behind; // the wallpaper at the display's size, for a glass bar
    std::optional<TaskbarSettings> m_bar;
    std::optional<ClockStyle> m_clockStyle;
    std::unique_ptr<ClockView> m_clock;
    QString m_video;
    QImage m_frame; // the video's latest frame
    int m_framesShown = 0;
    OnScreenWatch* m_onScreen;
    LoopingFrames m_frames;
};
