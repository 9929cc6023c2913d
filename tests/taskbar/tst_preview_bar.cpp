#include "taskbar/preview/bar_background.h"
#include "taskbar/preview/bar_shape.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/preview/run_indicator.h"
#include "taskbar/point_canvas.h"
#include "taskbar/theme.h"

#include <QTest>

namespace {

// Distance between two colours, 0...255 per channel summed.
int distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

TaskbarSettings styled(const QString& name)
{
    TaskbarSettings s;
    Theme::builtInNamed(name)->apply(s);
    return s;
}

} // namespace

class TestPreviewBar : public QObject
{
    Q_OBJECT

private slots:
    void legibilityShade()
    {
        TaskbarSettings s;
        s.backgroundStyle = BackgroundStyle::glass;
        s.background.a = 0.6;
        s.foreground = RGBA::fromHex(0xE9E6E1, 1);
        QVERIFY(qFuzzyCompare(BarBackground::legibilityShade(s, 0.95), 0.224));
        QCOMPARE(BarBackground::legibilityShade(s, 0.55), 0.0);
        QCOMPARE(BarBackground::legibilityShade(s, 0.2), 0.0);
        QVERIFY(qFuzzyCompare(BarBackground::legibilityShade(s, 0.75), 0.112));
        s.backgroundStyle = BackgroundStyle::solid;
        s.background.a = 1;
        QCOMPARE(BarBackground::legibilityShade(s, 0.95), 0.0);
        s.background.a = 0.5;
        QVERIFY(BarBackground::legibilityShade(s, 0.95) > 0);
        s.foreground = RGBA(0.1, 0.1, 0.1, 1); // dark text needs no shade
        QCOMPARE(BarBackground::legibilityShade(s, 0.95), 0.0);
    }

    void outlineRoundsTheCornersAwayFromTheEdge()
    {
        TaskbarSettings s;
        s.barRadius = 20;
        s.barCorners = BarCorners::top;
        const QRectF r(0, 0, 400, 60);
        const auto corners = [&](BarEdge edge) {
            s.edge = edge;
            const QPainterPath p = BarShape::path(r, s);
            // Whether each corner point (top-left, top-right, bottom-right, bottom-left) is cut off.
            return QList<bool> {!p.contains(QPointF(1, 1)), !p.contains(QPointF(399, 1)), !p.contains(QPointF(399, 59)),
                                !p.contains(QPointF(1, 59))};
        };
        QCOMPARE(corners(BarEdge::bottom), (QList<bool> {true, true, false, false}));
        QCOMPARE(corners(BarEdge::top), (QList<bool> {false, false, true, true}));
        QCOMPARE(corners(BarEdge::left), (QList<bool> {false, true, true, false}));
        QCOMPARE(corners(BarEdge::right), (QList<bool> {true, false, false, true}));
        s.barCorners = BarCorners::all;
        QCOMPARE(corners(BarEdge::bottom), (QList<bool> {true, true, true, true}));
        s.barCorners = BarCorners::square;
        QCOMPARE(corners(BarEdge::bottom), (QList<bool> {false, false, false, false}));
        s.barRadius = 1e9; // a huge radius makes a capsule, not garbage
        s.barCorners = BarCorners::all;
        QVERIFY(BarShape::path(r, s).contains(QPointF(200, 30)));
    }

    void indicatorSitsOnTheScreenSideAtItsGap()
    {
        TaskbarSettings s;
        const QRectF tile(0, 0, 50, 46);
        const QRectF icon(6, 4, 38, 38);
        const QRectF automatic = RunIndicator::rect(s, tile, icon);
        QVERIFY(automatic.top() >= icon.bottom());
        QVERIFY(automatic.bottom() <= tile.bottom());
        s.indicatorGap = 8;
        QCOMPARE(RunIndicator::rect(s, tile, icon).top(), icon.bottom() + 8);
        s.edge = BarEdge::left;
        QCOMPARE(RunIndicator::rect(s, tile, icon).right(), icon.left() - 8);
        s.indicator = IndicatorStyle::none;
        QVERIFY(RunIndicator::rect(s, tile, icon).isEmpty());
    }

    void builtInStylesRenderWhereTheGeometrySays()
    {
        const QString out = qEnvironmentVariable("TASKBAR_PREVIEW_OUT");
        for (const Theme& theme : Theme::builtIns()) {
            TaskbarSettings s;
            theme.apply(s);
            PreviewContent content = PreviewContent::sample();
            content.accent = 0x336699;
            const PreviewBar preview(s, content);
            const QImage image = preview.renderScreen(QSize(1440, 900));
            QCOMPARE(image.size(), QSize(1440, 900));
            if (!out.isEmpty())
                image.save(out + QLatin1Char('/') + theme.name + QStringLiteral(".png"));

            const QRectF bar = preview.frame(QSizeF(1440, 900), PreviewBar::menuBarHeight);
            const QImage wallpaper = PreviewBar::sampleWallpaper(QSize(1440, 900));
            // Outside the bar (away from the menu bar) the wallpaper is untouched.
            const QPoint outside = s.vertical() ? QPoint(int(bar.right()) + 40, int(bar.center().y()))
                                                : QPoint(int(bar.center().x()), int(bar.top()) - 40);
            QCOMPARE(image.pixelColor(outside), wallpaper.pixelColor(outside));
            // Inside, near the start where no item sits, the fill shows.
            const QPoint inside = s.vertical() ? QPoint(int(bar.center().x()), int(bar.top()) + 3)
                                               : QPoint(int(bar.left()) + 3, int(bar.center().y()));
            const QColor expected = theme.background.color();
            if (theme.style == BackgroundStyle::solid)
                QVERIFY2(distance(image.pixelColor(inside), expected) < 12, qPrintable(theme.name));
            else
                QVERIFY2(image.pixelColor(inside) != wallpaper.pixelColor(inside), qPrintable(theme.name));
            // Rounded styles cut the outer corner, showing the wallpaper.
            if (theme.layout->barCorners == BarCorners::all) {
                const QPoint corner(int(bar.left()) + 1, int(bar.top()) + 1);
                QVERIFY2(distance(image.pixelColor(corner), wallpaper.pixelColor(corner)) < 40, qPrintable(theme.name));
            }
        }
    }

    void indicatorsTakeTheAccentWhenFollowingTheWallpaper()
    {
        TaskbarSettings s = styled(QStringLiteral("Graphite")); // follows the wallpaper, underline
        PreviewContent content = PreviewContent::sample();
        content.accent = 0x00FF00;
        const PreviewBar preview(s, content);
        QImage image = PointCanvas::image(QSize(1440, 900));
        QPainter painter(&image);
        preview.draw(painter, QSizeF(1440, 900), 25);
        painter.end();
        const QRectF bar = preview.frame(QSizeF(1440, 900), 25);
        int green = 0;
        for (const PreviewBar::Item& item : preview.items(bar)) {
            if (item.id != QLatin1String("com.apple.finder"))
                continue;
            const QRectF mark = RunIndicator::rect(s, item.tile, item.icon);
            const QColor c = image.pixelColor(mark.center().toPoint());
            green = c.green() > 200 && c.red() < 60 ? 1 : 0;
        }
        QCOMPARE(green, 1);
    }

    void rowsThatDoNotFitShrinkTheIcons()
    {
        TaskbarSettings s;
        s.barWidth = 0.2;
        PreviewContent content = PreviewContent::sample();
        for (int i = 0; i < 60; ++i)
            content.layout.prepend(QStringLiteral("org.example.app%1").arg(i));
        const PreviewBar preview(s, content);
        const QRectF bar = preview.frame(QSizeF(1000, 700), 25);
        QCOMPARE(bar.width(), 1000.0);
        const double icon = preview.iconSide(bar);
        QVERIFY(icon < s.fullIconSize());
        QVERIFY(icon >= TaskbarSettings::minIconSize);
    }

    void miniBarIsTheBarAlone()
    {
        const TaskbarSettings s = styled(QStringLiteral("Infinity")); // a left bar
        const QImage mini = PreviewBar::miniBar(s, 600, 0.5);
        QCOMPARE(mini.size(), QSize(300, 31));
        // Drawn as a horizontal bar: the fill spans the width.
        QVERIFY(distance(mini.pixelColor(3, 15), s.background.color()) < 12);
    }
};

QTEST_MAIN(TestPreviewBar)
#include "tst_preview_bar.moc"
