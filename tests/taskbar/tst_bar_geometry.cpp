#include "taskbar/clock_text.h"
#include "taskbar/taskbar_settings.h"

#include <QTest>

#include <cmath>

class TestBarGeometry : public QObject
{
    Q_OBJECT

private slots:
    void iconSizesFollowTheBarHeight()
    {
        TaskbarSettings s;
        s.barHeight = 30;
        s.iconSize = 38;
        QCOMPARE(s.fullIconSize(), 16.0);
        s.barHeight = 20;
        QCOMPARE(s.fullIconSize(), 12.0);
        s.iconSize = 200;
        QCOMPARE(s.fullIconSize(), 12.0);
        s.barHeight = 52;
        s.iconSize = 30;
        QCOMPARE(s.fullIconSize(), 30.0);
        QCOMPARE(s.tileHeight(), 46.0);
    }

    void negativeSpacingEatsThePadding_data()
    {
        QTest::addColumn<double>("spacing");
        QTest::addColumn<double>("gap");
        QTest::addColumn<double>("padding");
        QTest::newRow("positive") << 4.0 << 4.0 << 12.0;
        QTest::newRow("zero") << 0.0 << 0.0 << 12.0;
        QTest::newRow("minus four") << -4.0 << 0.0 << 8.0;
        QTest::newRow("minus twenty") << -20.0 << 0.0 << 0.0;
    }
    void negativeSpacingEatsThePadding()
    {
        QFETCH(double, spacing);
        QFETCH(double, gap);
        QFETCH(double, padding);
        TaskbarSettings s;
        s.iconSpacing = spacing;
        QCOMPARE(s.tileGap(), gap);
        QCOMPARE(s.tilePadding(), padding);
    }

    void hoverRoomAndRowLength()
    {
        TaskbarSettings s;
        QCOMPARE(s.hoverRoom(36), 0.0);
        s.hoverZoom = 1.1;
        QVERIFY(qFuzzyCompare(s.hoverRoom(36), 10.8));
        // Smaller icons get proportionally less padding: half the icon, half the padding.
        s.iconSize = 38;
        QCOMPARE(s.tileLength(19), 19 + 6.0);
        QCOMPARE(s.tileLength(38), 38 + 12.0);
        QCOMPARE(s.tileLength(76), 76 + 12.0);
        s.hoverZoom = 1;
        QCOMPARE(s.rowLength(3, 1, 4), 9 + 3 * 50.0 + 4 * 4 + 12);
        QCOMPARE(s.rowLength(2, 0, 2, 19.0), 2 * 25.0 + 2 * 4 + 12);
        s.barHeight = 14; // full icon 12; the ratio never divides by a size of 1 or less
        s.iconSize = 1;
        QCOMPARE(s.tileLength(0.5), 0.5 + 12 * 0.5);
    }

    void cornerCluster()
    {
        TaskbarSettings s;
        s.showClock = false;
        QCOMPARE(s.cornerLength(), 0.0);
        s.showClock = true;
        const double clock = s.clockLength();
        QVERIFY(clock > 20);
        QCOMPARE(s.cornerLength(), clock + 6);
        s.barHeight = 52;
        s.iconSize = 38;
        s.trash = TrashPlacement::corner;
        QCOMPARE(s.cornerLength(), clock + 42.4 + 2 + 6);
        s.nowPlaying = NowPlayingStyle::full;
        QCOMPARE(s.cornerLength(), 190 + clock + 42.4 + 2 * 2 + 6);
        s.edge = BarEdge::left;
        QCOMPARE(s.nowPlayingLength(), 46.0 + 28);
        s.nowPlaying = NowPlayingStyle::song;
        QCOMPARE(s.nowPlayingLength(), 38.0);
        s.nowPlaying = NowPlayingStyle::artwork;
        QCOMPARE(s.nowPlayingLength(), 46.0);
    }

    void clockLengthMeasuresTheTexts()
    {
        TaskbarSettings s;
        s.use24Hour = true;
        s.showDate = false;
        s.showSeconds = false;
        const ClockText text(s);
        QCOMPARE(text.time(), QStringLiteral("10:08"));
        const double time = ClockText::width(text.time(), ClockText::timeFont(s.clockFont, 17));
        QCOMPARE(s.clockLength(), std::ceil(time + 20));

        s.showSeconds = true;
        QCOMPARE(text.seconds(), QStringLiteral(":08"));
        const double seconds = ClockText::width(text.seconds(), ClockText::timeFont(s.clockFont, 0.72 * 17));
        QCOMPARE(s.clockLength(), std::ceil(time + seconds + 20));

        // A long date pattern is wider than the time and sets the length.
        s.showSeconds = false;
        s.showDate = true;
        s.dateFormat = QStringLiteral("EEEE d MMMM yyyy");
        const double date = ClockText::width(ClockText(s).date(), ClockText::dateFont(s.clockFont, 11));
        QVERIFY(date > ClockText::width(text.time(), ClockText::timeFont(s.clockFont, 14)));
        QCOMPARE(s.clockLength(), std::ceil(date + 20));

        s.clockScale = 2;
        QVERIFY(s.clockLength() > std::ceil(date + 20));

        s.edge = BarEdge::right;
        s.clockScale = 1;
        QCOMPARE(s.clockLength(), 14 * 1.25 + 11 * 1.25 + 1 + 12);
        s.showDate = false;
        QCOMPARE(s.clockLength(), 17 * 1.25 + 12);
    }

    void iconSizeForARowThatDoesNotFit()
    {
        TaskbarSettings s;
        s.barHeight = 52;
        s.iconSize = 38;
        QCOMPARE(s.iconSizeForRow(1000, 200, 1200), 38.0);
        QCOMPARE(s.iconSizeForRow(1000, 200, 600), 19.0);
        QCOMPARE(s.iconSizeForRow(1000, 200, 300), 12.0);
        QCOMPARE(s.iconSizeForRow(100.5, 100, 50), 12.0); // no division by a tiny flexible part
        s.barHeight = 20;
        s.iconSize = 10; // a full size below the floor stays as it is
        QCOMPARE(s.iconSizeForRow(1000, 200, 300), 10.0);
    }

    void centredIconsMoveAwayFromTheCluster()
    {
        TaskbarSettings s;
        s.showClock = false;
        s.trash = TrashPlacement::corner; // cluster of 36.4 + 12 + 6
        const double corner = s.cornerLength();
        QCOMPARE(s.centerShift(500, 1000), 0.0);
        QCOMPARE(s.centerShift(900, 900 + corner), corner / 2 - corner);
    }

    void barFrames_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<double>("barWidth");
        QTest::addColumn<double>("content");
        QTest::addColumn<double>("gap");
        QTest::addColumn<QRectF>("frame");
        const int bottom = int(BarEdge::bottom), top = int(BarEdge::top), left = int(BarEdge::left),
                  right = int(BarEdge::right);
        QTest::newRow("bottom full") << bottom << 1.0 << 300.0 << 0.0 << QRectF(0, 0, 1440, 52);
        QTest::newRow("bottom half, gap") << bottom << 0.5 << 300.0 << 10.0 << QRectF(360, 10, 720, 52);
        QTest::newRow("too narrow is a fifth") << bottom << 0.1 << 0.0 << 0.0 << QRectF(576, 0, 288, 52);
        QTest::newRow("content wins") << bottom << 0.4 << 1000.4 << 0.0 << QRectF(220, 0, 1000, 52);
        QTest::newRow("content past the screen") << bottom << 0.4 << 5000.0 << 0.0 << QRectF(0, 0, 1440, 52);
        QTest::newRow("top under the menu bar") << top << 1.0 << 0.0 << 0.0 << QRectF(0, 823, 1440, 52);
        QTest::newRow("top with gap") << top << 1.0 << 0.0 << 5.0 << QRectF(0, 818, 1440, 52);
        QTest::newRow("left") << left << 0.62 << 0.0 << 8.0 << QRectF(8, 166, 52, 543);
        QTest::newRow("right full") << right << 1.0 << 0.0 << 0.0 << QRectF(1388, 0, 52, 875);
    }
    void barFrames()
    {
        QFETCH(int, edge);
        QFETCH(double, barWidth);
        QFETCH(double, content);
        QFETCH(double, gap);
        QFETCH(QRectF, frame);
        TaskbarSettings s;
        s.edge = BarEdge(edge);
        s.barWidth = barWidth;
        s.edgeGap = gap;
        s.barHeight = 52;
        QCOMPARE(s.barFrame(QRectF(0, 0, 1440, 900), 875, content), frame);
    }

    void barFramesOnASecondScreen()
    {
        TaskbarSettings s;
        s.barWidth = 0.5;
        QCOMPARE(s.barFrame(QRectF(1440, -200, 1000, 800), 600, 0), QRectF(1690, -200, 500, 52));
        s.edge = BarEdge::right;
        QCOMPARE(s.barFrame(QRectF(1440, -200, 1000, 800), 600, 0), QRectF(2388, 0, 52, 400));
    }

    void barScreens()
    {
        TaskbarSettings s;
        const QList<int> screens {7, 3, 5};
        QCOMPARE(s.barScreens(screens), screens);
        s.displays = BarDisplays::main;
        QCOMPARE(s.barScreens(screens), QList<int> {7});
        QCOMPARE(s.barScreens(QList<int> {}), QList<int> {});
    }
};

QTEST_MAIN(TestBarGeometry)
#include "tst_bar_geometry.moc"
