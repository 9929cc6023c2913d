#pragma once

#include "clock/clock_style.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <memory>
#include <optional>

// Draws a clock style at a scale: the rows above the time, the time digits (filled, outlined or
// glazed), the rows below, and the shadow under all of it. The lock screen clock and every preview
// use it, so a preview at scale = preview width / screen width is an exact miniature.
class ClockView
{
public:
    // The width of the main display in points when none is known.
    static constexpr double defaultScreenWidth = 1512;

    // `accent` is the wallpaper accent (0xRRGGBB) used when the digits follow the wallpaper.
    ClockView(ClockStyle style, double scale, quint32 accent);
    // With the shared brand accent.
    ClockView(ClockStyle style, double scale);
    // A copy draws the same clock and keeps its own frames.
    ClockView(const ClockView& other);
    ClockView& operator=(const ClockView& other);
    ~ClockView();

    const ClockStyle& style() const { return m_style; }
    double scale() const { return m_scale; }

    // When set, every clock shows this instant instead of the current time.
    static std::optional<QDateTime>& frozen();
    // The instant a clock shows now.
    static QDateTime currentDate();
    // Scale for drawing into an area of this width on a screen of `screenWidth` points.
    static double scaleFor(double areaWidth, std::optional<double> screenWidth = std::nullopt);

    // The size of the block (its rows, without the shadow's room) at this scale.
    QSizeF blockSize(const QDateTime& date) const;
    // Draws the block with its top-left at `origin`; the shadow spreads around it.
    void drawBlock(QPainter& painter, QPointF origin, const QDateTime& date) const;
    // Where the block sits on a screen (or a preview of one) of that rectangle.
    QRectF blockRect(const QRectF& screen, const QSizeF& block) const;
    // Places and draws the block on the screen rectangle.
    void drawOnScreen(QPainter& painter, const QRectF& screen, const QDateTime& date) const;
    // The block as drawn on the screen rectangle at `devicePixelRatio`: its picture (shadow
    // included, device pixels, see-through around the clock) and where its top-left falls.
    struct Placed
    {
        QImage image;
        QPointF topLeft;
    };
    Placed placed(const QRectF& screen, const QDateTime& date, double devicePixelRatio) const;
    // The block drawn on a screen of `size` pixels over `background`.
    QImage render(QSize size, const QDateTime& date, const QColor& background = Qt::transparent) const;

private:
    struct Rendered
    {
        struct Key
        {
            double dpr = 0;
            QDate day;
            QStringList parts;
            bool operator==(const Key&) const = default;
        };
        Key key;
        QImage image;   // block with shadow, device pixels
        QPointF offset; // of the image's top-left from the block's, logical
        QSizeF block;   // logical
    };
    const Rendered& rendered(const QDateTime& date, double devicePixelRatio) const;

    // What later frames reuse: the day's rows, their drawings and the digits' glyph images.
    struct Kept;

    ClockStyle m_style;
    double m_scale;
    quint32 m_accent;
    mutable Rendered m_cache;
    std::unique_ptr<Kept> m_kept;
};
