#pragma once

#include "brand/edge_brightness.h"
#include "taskbar/taskbar_settings.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSet>
#include <QSize>
#include <QStringList>

#include <optional>

// What a preview shows besides the settings: the items, which of them run, the wallpaper's accent
// and brightness along the bar's edge.
struct PreviewContent
{
    QStringList layout;           // the item layout list; empty: the default pinned apps
    QStringList runningApps;      // running apps that are not pinned (shown at "~running")
    QSet<QString> running;        // apps with a running indicator
    QSet<QString> hidden;         // running apps drawn dimmed when hidden apps are dimmed
    QString badged;               // the app with an unread badge, if any
    QString hovered;              // the app under the pointer, if any
    std::optional<quint32> accent;      // wallpaper accent; none: the product's current accent
    std::optional<EdgeBrightness> edges; // wallpaper brightness; none: the current wallpaper's
    QDateTime moment;             // the time the clock shows; invalid: the clock's sample moment

    // Finder, a browser and the settings app pinned, two more apps running, one of them hidden.
    static PreviewContent sample();
};

// Draws a whole bar from its settings, with the same geometry the real bar uses.
class PreviewBar
{
public:
    PreviewBar(TaskbarSettings settings, PreviewContent content = PreviewContent::sample());

    // The bar's rectangle on a screen (image coordinates, y down) whose menu bar is `menuBar`
    // points tall.
    QRectF frame(const QSizeF& screen, double menuBar) const;

    // Draws the bar on a screen of that size whose top-left is the painter's origin. `behind` is
    // the screen's picture, for glass.
    void draw(QPainter& painter, const QSizeF& screen, double menuBar, const QImage* behind = nullptr) const;

    // A screen of `size` points with a sample wallpaper, a menu bar and the bar; 72 dpi, so one
    // point is one pixel.
    QImage renderScreen(const QSize& size) const;

    // The bar alone, as a horizontal bar of `length` points, at `scale` (the miniature of style
    // cards and pages).
    static QImage miniBar(const TaskbarSettings& settings, double length, double scale = 1.0,
                          const PreviewContent& content = PreviewContent::sample());

    // The sample wallpaper of renderScreen.
    static QImage sampleWallpaper(const QSize& size);
    static constexpr double menuBarHeight = 25;

    // Items along the bar, for tests: kind and rectangle of each tile or divider.
    struct Item
    {
        QString id;
        bool divider = false;
        QRectF tile;
        QRectF icon;
    };
    QList<Item> items(const QRectF& bar) const;
    double iconSide(const QRectF& bar) const;

private:
    struct Row
    {
        QStringList entries; // ids, with "" for dividers
        int tiles = 0;
        int dividers = 0;
    };
    Row row() const;
    double contentLength() const;
    QRectF cornerRect(const QRectF& bar) const;

    TaskbarSettings m_settings;
    PreviewContent m_content;
};
