#include "taskbar/preview/preview_bar.h"

#include "brand/brand_accent.h"
#include "taskbar/clock_text.h"
#include "taskbar/layout_token.h"
#include "taskbar/point_canvas.h"
#include "taskbar/preview/bar_background.h"
#include "taskbar/preview/corner_clock.h"
#include "taskbar/preview/run_indicator.h"
#include "taskbar/preview/sample_icons.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

PreviewContent PreviewContent::sample()
{
    PreviewContent c;
    c.layout = LayoutToken::freshLayout(LayoutToken::defaultPinnedApps());
    c.runningApps = {QStringLiteral("com.apple.Terminal"), QStringLiteral("com.apple.TextEdit")};
    c.running = {QStringLiteral("com.apple.finder"), QStringLiteral("com.apple.Safari"),
                 QStringLiteral("com.apple.Terminal"), QStringLiteral("com.apple.TextEdit")};
    c.hidden = {QStringLiteral("com.apple.TextEdit")};
    c.badged = QStringLiteral("com.apple.Safari");
    return c;
}

PreviewBar::PreviewBar(TaskbarSettings settings, PreviewContent content)
    : m_settings(std::move(settings)), m_content(std::move(content))
{
    if (m_content.layout.isEmpty())
        m_content.layout = LayoutToken::freshLayout(LayoutToken::defaultPinnedApps());
}

// --- layout along the bar -------------------------------------------------------------------

PreviewBar::Row PreviewBar::row() const
{
    const TaskbarSettings& s = m_settings;
    Row r;
    const auto addTile = [&](const QString& id) {
        r.entries.append(id);
        ++r.tiles;
    };
    if (s.startButton)
        addTile(QStringLiteral("~start"));
    for (const QString& item : m_content.layout) {
        if (LayoutToken::isApp(item) || LayoutToken::isSpacer(item) || LayoutToken::folderURL(item)) {
            addTile(item);
        } else if (LayoutToken::isDivider(item)) {
            r.entries.append(QString());
            ++r.dividers;
        } else if (item == LayoutToken::running() && s.showRunningApps) {
            for (const QString& app : m_content.runningApps)
                if (!m_content.layout.contains(app))
                    addTile(app);
        } else if (item == LayoutToken::downloads() && s.showDownloads) {
            addTile(item);
        } else if (item == LayoutToken::trash() && s.trash == TrashPlacement::apps) {
            addTile(item);
        }
    }
    return r;
}

double PreviewBar::contentLength() const
{
    const Row r = row();
    return m_settings.rowLength(r.tiles, r.dividers, int(r.entries.size())) + m_settings.cornerLength();
}

QRectF PreviewBar::frame(const QSizeF& screen, double menuBar) const
{
    // The geometry works in screen coordinates with y up; images have y down.
    const double visibleTop = screen.height() - menuBar;
    const QRectF up = m_settings.barFrame(QRectF(QPointF(0, 0), screen), visibleTop, contentLength());
    return {up.left(), screen.height() - up.top() - up.height(), up.width(), up.height()};
}

QRectF PreviewBar::cornerRect(const QRectF& bar) const
{
    const double corner = m_settings.cornerLength();
    if (m_settings.vertical())
        return {bar.left(), bar.bottom() - corner, bar.width(), corner};
    return {bar.right() - corner, bar.top(), corner, bar.height()};
}

double PreviewBar::iconSide(const QRectF& bar) const
{
    const TaskbarSettings& s = m_settings;
    const Row r = row();
    const double rowLength = s.rowLength(r.tiles, r.dividers, int(r.entries.size()));
    const double available = (s.vertical() ? bar.height() : bar.width()) - s.cornerLength();
    const double fixed = rowLength - r.tiles * s.tileLength(s.fullIconSize());
    return s.iconSizeForRow(rowLength, fixed, available);
}

QList<PreviewBar::Item> PreviewBar::items(const QRectF& bar) const
{
    const TaskbarSettings& s = m_settings;
    const Row r = row();
    const double icon = iconSide(bar);
    const double rowLength = s.rowLength(r.tiles, r.dividers, int(r.entries.size()), icon);
    const bool vertical = s.vertical();
    const double barLength = vertical ? bar.height() : bar.width();

    double start = 0;
    if (s.alignment == IconAlignment::center)
        start = (barLength - rowLength) / 2 + s.centerShift(rowLength, barLength);
    double at = start + 6 + s.hoverRoom(icon) / 2;

    const double across = std::max(0.0, s.tileHeight());
    const double tileLength = s.tileLength(icon);
    QList<Item> result;
    for (const QString& id : r.entries) {
        at += s.tileGap() / 2;
        const double length = id.isEmpty() ? 9 : tileLength;
        QRectF tile = vertical ? QRectF(bar.center().x() - across / 2, bar.top() + at, across, length)
                               : QRectF(bar.left() + at, bar.center().y() - across / 2, length, across);
        const QRectF iconRect(tile.center().x() - icon / 2, tile.center().y() - icon / 2, icon, icon);
        result.append({id, id.isEmpty(), tile, iconRect});
        at += length + s.tileGap() / 2;
    }
    return result;
}

// --- drawing --------------------------------------------------------------------------------

namespace {

void drawBadge(QPainter& painter, const QRectF& icon)
{
    const double d = std::max(8.0, icon.width() * 0.36);
    const QRectF badge(icon.right() - d * 0.75, icon.top() - d * 0.2, d, d);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0x3B, 0x30));
    painter.drawEllipse(badge);
    QFont font;
    font.setPointSizeF(d * 0.62);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, QStringLiteral("2"));
}

QString iconFor(const QString& id)
{
    if (LayoutToken::folderURL(id))
        return QStringLiteral("folder");
    if (id == QLatin1String("~start"))
        return QStringLiteral("view-app-grid");
    return id;
}

} // namespace

void PreviewBar::draw(QPainter& painter, const QSizeF& screen, double menuBar, const QImage* behind) const
{
    const TaskbarSettings& s = m_settings;
    const QRectF bar = frame(screen, menuBar);
    const EdgeBrightness edges = m_content.edges.value_or(BrandAccent::shared().edges());
    BarBackground::draw(painter, bar, s, BarBackground::brightnessAt(edges, s.edge), behind);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(bar.adjusted(-40, -40, 40, 40));
    const RGBA tint = m_content.accent ? s.indicatorTint(*m_content.accent) : s.indicatorTint();
    for (const Item& item : items(bar)) {
        if (item.divider) {
            painter.setPen(QPen(s.foreground.color(0.25), 1));
            const QPointF c = item.tile.center();
            const double half = std::max(0.0, s.tileHeight() * 0.3);
            if (s.vertical())
                painter.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
            else
                painter.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
            continue;
        }
        if (LayoutToken::isSpacer(item.id))
            continue;
        if (item.id == m_content.hovered && s.hoverOpacity > 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(s.foreground.color(s.hoverOpacity));
            painter.drawRoundedRect(item.tile, s.tileRadius, s.tileRadius);
        }
        const int side = std::max(1, int(std::lround(item.icon.width())));
        const bool dimmed = s.dimHiddenApps && m_content.hidden.contains(item.id);
        painter.setOpacity(dimmed ? 0.5 : 1.0);
        painter.drawImage(item.icon, SampleIcons::icon(iconFor(item.id), side));
        painter.setOpacity(1.0);
        if (s.showBadges && item.id == m_content.badged)
            drawBadge(painter, item.icon);
        if (m_content.running.contains(item.id))
            RunIndicator::draw(painter, s, item.tile, item.icon, tint);
    }
    painter.restore();

    const QDateTime moment = m_content.moment.isValid() ? m_content.moment : ClockText::sampleMoment();
    CornerClock::draw(painter, cornerRect(bar), s, moment);
}

QImage PreviewBar::sampleWallpaper(const QSize& size)
{
    QImage image = PointCanvas::image(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(0x1D, 0x2B, 0x53));
    sky.setColorAt(0.55, QColor(0x7E, 0x25, 0x53));
    sky.setColorAt(1, QColor(0xFF, 0x9E, 0x6B));
    painter.fillRect(image.rect(), sky);
    const auto glow = [&](QPointF centre, double radius, QColor colour) {
        QRadialGradient g(centre, radius);
        g.setColorAt(0, colour);
        colour.setAlpha(0);
        g.setColorAt(1, colour);
        painter.fillRect(image.rect(), g);
    };
    glow(QPointF(size.width() * 0.25, size.height() * 0.8), size.height() * 0.45, QColor(0xFF, 0xE0, 0x8A, 170));
    glow(QPointF(size.width() * 0.8, size.height() * 0.25), size.height() * 0.35, QColor(0x5C, 0xC9, 0xBE, 150));
    return image;
}

QImage PreviewBar::renderScreen(const QSize& size) const
{
    QImage screen = sampleWallpaper(size);
    const QImage wallpaper = screen;
    PreviewContent content = m_content;
    if (!content.edges)
        content.edges = EdgeBrightness::fromImage(wallpaper);
    const PreviewBar onThisWallpaper(m_settings, content);
    QPainter painter(&screen);
    painter.setRenderHint(QPainter::Antialiasing);
    // The menu bar the bar keeps clear of.
    painter.fillRect(QRectF(0, 0, size.width(), menuBarHeight), QColor(0, 0, 0, 90));
    onThisWallpaper.draw(painter, QSizeF(size), menuBarHeight, &wallpaper);
    return screen;
}

QImage PreviewBar::miniBar(const TaskbarSettings& settings, double length, double scale, const PreviewContent& content)
{
    TaskbarSettings bar = settings.asBottomBar().withoutWindowBlur();
    bar.edgeGap = 0;
    bar.barWidth = 1;
    const PreviewBar preview(bar, content);
    const QSizeF screen(std::max(1.0, length), bar.barHeight);
    scale = std::clamp(scale, 0.05, 8.0);
    QImage image = PointCanvas::image(QSize(int(std::ceil(screen.width() * scale)), int(std::ceil(screen.height() * scale))));
    QPainter painter(&image);
    painter.scale(scale, scale);
    preview.draw(painter, screen, 0);
    return image;
}
