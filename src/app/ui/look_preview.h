#pragma once

#include "app/ensembles_model.h"
#include "clock/clock_style.h"
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
    const QImage& screenWallpaper(const QSize& points);

    static constexpr int maxHeight = 420;
    QSizeF m_screen {1512, 982};
    LookPlace m_place = LookPlace::desktop;
    QImage m_wallpaper;
    QImage m_behind; // the wallpaper at the display's size, for a glass bar
    std::optional<TaskbarSettings> m_bar;
    std::optional<ClockStyle> m_clockStyle;
    std::unique_ptr<ClockView> m_clock;
};
