#pragma once

#include "clock/clock_style.h"
#include "clock/clock_view.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class ClockTicker;

// A miniature lock screen: the backdrop filling a screen of the main display's shape, with the
// clock placed on it exactly as on the screen, at scale = preview width / screen width.
class ScreenPreview : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenPreview(QWidget* parent = nullptr);
    ~ScreenPreview() override;

    void setClockStyle(const ClockStyle& style);
    const ClockStyle& clockStyle() const { return m_style; }
    void setBackdrop(const QImage& image);
    const QImage& backdrop() const { return m_backdrop; }
    // A small line in the preview's lower left corner ("ON THE DESKTOP PICTURE"); empty: none.
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // The main display's size in points (the usual laptop screen when none is known).
    static QSizeF screenSize();
    // The preview of a style on a backdrop, `size` in points at `dpr` device pixels per point.
    static QImage render(const ClockStyle& style, QSize size, double dpr, const QImage& backdrop);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void restyle();

    ClockStyle m_style;
    QImage m_backdrop;
    QString m_caption;
    // The clock at the current width; made again when the style, width, accent or hours change.
    std::optional<ClockView> m_view;
    QImage m_scaledBackdrop;
    ClockTicker* m_ticker;
};
