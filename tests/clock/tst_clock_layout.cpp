#include "clock/clock_lines.h"
#include "clock/clock_ticker.h"
#include "clock/clock_view.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime saturday(QDate(2026, 3, 14), QTime(9, 41, 7));

QStringList texts(const QList<SmallLine>& lines)
{
    QStringList result;
    for (const SmallLine& line : lines)
        result << line.text;
    return result;
}

} // namespace

class TestClockLayout : public QObject
{
    Q_OBJECT
private slots:
    void datePlacementDecidesTheRows()
    {
        ClockStyle style;
        style.dateFormat = DateFormatOption::dayMonthYear;
        style.datePlacement = DatePlacement::above;
        SmallLines lines = smallLines(style, saturday);
        QCOMPARE(texts(lines.above), QStringList{QStringLiteral("Saturday \u00B7 14 Mar 2026")});
        QVERIFY(lines.below.isEmpty());
        QVERIFY(lines.above.first().look.uppercase); // uppercaseLabels
        QVERIFY(!lines.above.first().own);

        style.datePlacement = DatePlacement::around;
        lines = smallLines(style, saturday);
        QCOMPARE(texts(lines.above), QStringList{QStringLiteral("Saturday")});
        QCOMPARE(texts(lines.below), QStringList{QStringLiteral("14 Mar 2026")});

        style.datePlacement = DatePlacement::below;
        style.showWeekday = false;
        lines = smallLines(style, saturday);
        QVERIFY(lines.above.isEmpty());
        QCOMPARE(texts(lines.below), QStringList{QStringLiteral("14 Mar 2026")});

        style.showDate = false;
        lines = smallLines(style, saturday);
        QVERIFY(lines.above.isEmpty() && lines.below.isEmpty());
    }

    void ownLineIsTrimmedAndPlaced()
    {
        ClockStyle style;
        style.ownLine = QStringLiteral("   \n ");
        SmallLines lines = smallLines(style, saturday);
        QCOMPARE(lines.above.size() + lines.below.size(), 2); // weekday and date only

        style.ownLine = QStringLiteral("  Hello \n");
        style.ownLinePlacement = LinePlacement::above;
        style.ownLineAlign = TextAlign::trailing;
        lines = smallLines(style, saturday);
        QCOMPARE(texts(lines.above), (QStringList{QStringLiteral("Hello"), QStringLiteral("Saturday")}));
        const SmallLine own = lines.above.first();
        QVERIFY(own.own);
        QCOMPARE(own.align, std::optional<TextAlign>(TextAlign::trailing));
        QVERIFY(!own.look.uppercase); // the label look, not upper-cased
        QCOMPARE(own.look.font, style.labelFont);

        TextLook look{FontSpec{}, 1, RGBA(1, 0, 0), true};
        style.ownLineLook = look;
        style.ownLinePlacement = LinePlacement::below;
        lines = smallLines(style, saturday);
        QCOMPARE(lines.below.last().text, QStringLiteral("Hello"));
        QCOMPARE(lines.below.last().look, look);
    }

    void gapsUseTextLineSpacingNextToTheOwnLine()
    {
        ClockStyle style;
        style.lineSpacing = -4;
        style.textLineSpacing = 10;
        // own line, weekday, time, date
        const ClockLines lines = ClockLines::of(style, 0.5, {true, false, false, false});
        QCOMPARE(lines.gaps, (QList<double>{5, -2, -2}));
        QCOMPARE(lines.inset, style.timeFont.size * 0.04 * 0.5);
        QVERIFY(ClockLines::of(style, 1, {false}).gaps.isEmpty());
    }

    void rowsArePlacedBySideWithTheInset()
    {
        ClockLines lines;
        lines.inset = 4;
        lines.gaps = {-10, 2};
        const auto placed = lines.place({QSizeF(100, 20), QSizeF(300, 100), QSizeF(50, 10)},
                                        {TextAlign::leading, TextAlign::center, TextAlign::trailing});
        // x before the shift: 4, 0, 246; the smallest (0) becomes the left edge.
        QCOMPARE(placed.origins, (QList<QPointF>{QPointF(4, 0), QPointF(0, 10), QPointF(246, 112)}));
        QCOMPARE(placed.size, QSizeF(300, 122));

        const auto leading = lines.place({QSizeF(100, 20), QSizeF(300, 100)}, {TextAlign::leading, TextAlign::leading});
        QCOMPARE(leading.origins.first().x(), 0.0);
        QCOMPARE(leading.size.width(), 300.0);
    }

    void blockIsPlacedOnTheScreen()
    {
        ClockStyle style;
        style.horizontalMargin = 72;
        style.verticalMargin = 56;
        const QRectF screen(0, 0, 1512, 982);
        const QSizeF block(300, 100);

        style.position = ScreenPosition::center;
        QCOMPARE(ClockView(style, 1, 0).blockRect(screen, block), QRectF(606, 441, 300, 100));
        style.position = ScreenPosition::bottomRight;
        QCOMPARE(ClockView(style, 1, 0).blockRect(screen, block), QRectF(1512 - 72 - 300, 982 - 56 - 100, 300, 100));
        style.position = ScreenPosition::topLeft;
        QCOMPARE(ClockView(style, 0.5, 0).blockRect(QRectF(0, 0, 756, 491), block), QRectF(36, 28, 300, 100));
        style.position = ScreenPosition::topCenter;
        QCOMPARE(ClockView(style, 1, 0).blockRect(screen, block), QRectF(606, 56, 300, 100));
        style.position = ScreenPosition::bottomLeft;
        QCOMPARE(ClockView(style, 1, 0).blockRect(screen, block).topLeft(), QPointF(72, 826));
    }

    void scaleFollowsTheMainDisplay()
    {
        QCOMPARE(ClockView::scaleFor(378), 0.25);
        QCOMPARE(ClockView::scaleFor(960, 1920.0), 0.5);
        QCOMPARE(ClockView::scaleFor(378, 0.0), 0.25);
    }

    void ticksFallOnWholeMinutesOrSeconds()
    {
        ClockTicker ticker(false);
        const QDateTime now(QDate(2026, 3, 14), QTime(10, 15, 42, 250));
        QCOMPARE(ticker.nextTick(now), QDateTime(QDate(2026, 3, 14), QTime(10, 16)));
        QCOMPARE(ticker.nextTick(QDateTime(QDate(2026, 3, 14), QTime(10, 16))), QDateTime(QDate(2026, 3, 14), QTime(10, 17)));
        ticker.setSeconds(true);
        QCOMPARE(ticker.nextTick(now), QDateTime(QDate(2026, 3, 14), QTime(10, 15, 43)));
        // A real tick arrives within the next second and carries the frozen instant.
        ClockView::frozen() = saturday;
        QSignalSpy ticks(&ticker, &ClockTicker::tick);
        QVERIFY(ticks.wait(2500));
        QCOMPARE(ticks.first().first().toDateTime(), saturday);
        ClockView::frozen().reset();
    }

    void frozenInstantWins()
    {
        QVERIFY(!ClockView::frozen());
        ClockView::frozen() = saturday;
        QCOMPARE(ClockView::currentDate(), saturday);
        ClockView::frozen().reset();
        QVERIFY(qAbs(ClockView::currentDate().secsTo(QDateTime::currentDateTime())) < 5);
    }
};

QTEST_GUILESS_MAIN(TestClockLayout)
#include "tst_clock_layout.moc"
