#include "brand/brand.h"
#include "clock/clock_hours.h"
#include "clock/clock_view.h"
#include "clock/presets.h"
#include "clock/glyph_sprites.h"
#include "clock/shadow_blur.h"
#include "clock/shadow_canvas.h"

#include <QRandomGenerator>

#include <QTest>

#include <cmath>

namespace {

const QDateTime instant(QDate(2026, 3, 14), QTime(10, 8, 30));
const QSize screen(1512, 982);

// Plain white digits on black: every non-black pixel is ink.
ClockStyle plainStyle()
{
    ClockStyle style;
    style.timeFont = FontSpec{QStringLiteral("Bricolage Grotesque"), FontDesign::standard, FontWeightOption::bold, 100, std::nullopt};
    style.showWeekday = false;
    style.showDate = false;
    style.useGradient = false;
    style.timeColor = RGBA(1, 1, 1, 1);
    style.position = ScreenPosition::center;
    return style;
}

int inkIn(const QImage& image, const QRect& area, int threshold = 24)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > threshold || qGreen(p) > threshold || qBlue(p) > threshold)
                ++count;
        }
    return count;
}

// Pixels darker than the grey background.
int darkIn(const QImage& image, const QRect& area)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(image.pixel(x, y)) < 150)
                ++count;
    return count;
}

QImage render(const ClockStyle& style, double scale = 1, const QColor& background = Qt::black)
{
    const QSize size(qRound(screen.width() * scale), qRound(screen.height() * scale));
    return ClockView(style, scale, 0x33CC66).render(size, instant, background);
}

} // namespace

class TestClockDrawing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(Brand::registerFonts() > 0);
        ClockHours::shared().setFormat(ClockTimeFormat::twentyFour);
    }

    void inkStaysInsideTheBlock()
    {
        const ClockStyle style = plainStyle();
        const ClockView view(style, 1, 0);
        const QRectF block = view.blockRect(QRectF(QPointF(0, 0), QSizeF(screen)), view.blockSize(instant));
        const QImage image = render(style);
        const int total = inkIn(image, image.rect());
        QVERIFY(total > 2000);
        QCOMPARE(inkIn(image, block.toAlignedRect().adjusted(-1, -1, 1, 1)), total);
        // The block is centred: ink on both sides of the middle.
        QVERIFY(inkIn(image, QRect(0, 0, 756, 982)) > 500 && inkIn(image, QRect(756, 0, 756, 982)) > 500);
    }

    void shadowOnlyWithOpacity()
    {
        ClockStyle style = plainStyle();
        style.timeColor = RGBA(1, 1, 1, 1);
        style.shadowRadius = 20;
        const QColor grey(160, 160, 160);
        // White digits on grey: only a shadow makes anything darker than the background.
        const QRect all(QPoint(0, 0), screen);
        style.shadowOpacity = 0;
        QCOMPARE(darkIn(render(style, 1, grey), all), 0);
        style.shadowOpacity = 0.8;
        QVERIFY(darkIn(render(style, 1, grey), all) > 1000);
        // A shadow needs opacity, not just a radius.
        style.shadowOpacity = 0;
        style.shadowRadius = 60;
        QCOMPARE(darkIn(render(style, 1, grey), all), 0);
    }

    // Across a straight edge a Gaussian shadow is the normal distribution's curve, whichever grid
    // the blur was computed on.
    void shadowFollowsAGaussian_data()
    {
        QTest::addColumn<double>("sigma");
        QTest::newRow("fine grid") << 2.0;
        QTest::newRow("coarser grid") << 9.0;
        QTest::newRow("coarsest grid") << 30.0;
    }
    void shadowFollowsAGaussian()
    {
        QFETCH(double, sigma);
        // Ink on the right half of a square, far from its other edges. Three box passes stay within
        // 2 % of the curve.
        QImage ink(400, 400, QImage::Format_ARGB32_Premultiplied);
        ink.fill(Qt::transparent);
        for (int y = 0; y < 400; ++y)
            for (int x = 200; x < 400; ++x)
                ink.setPixel(x, y, qRgba(255, 255, 255, 255));
        const double opacity = 0.8;
        const Shadow shadow = Shadow::of(ink, sigma, opacity);
        QVERIFY(shadow.offset.x() <= -int(3 * sigma) && shadow.offset.y() <= -int(3 * sigma));
        QVERIFY(shadow.image.width() >= 400 + 6 * sigma);
        const int row = 200 - shadow.offset.y();
        for (int d = -int(3 * sigma); d <= int(3 * sigma); ++d) {
            const int x = 200 + d;
            const double expected = opacity * 255 * 0.5 * std::erfc(-(d + 0.5) / (sigma * std::sqrt(2.0)));
            const int actual = qAlpha(shadow.image.pixel(x - shadow.offset.x(), row));
            QVERIFY2(std::abs(actual - expected) <= 5, qPrintable(QStringLiteral("%1 px from the edge: %2, expected %3")
                                                                   .arg(d).arg(actual).arg(expected)));
            QCOMPARE(qRed(shadow.image.pixel(x - shadow.offset.x(), row)), 0); // black
        }
    }

    // Glyph images and row shadows kept from earlier minutes draw exactly what a new clock draws.
    void keptPartsDrawTheSameAsANewClock_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<double>("scale");
        QTest::newRow("centre, shadow") << 0 << 1.0;
        QTest::newRow("centre, shadow, preview") << 0 << 0.25;
        QTest::newRow("stacked, shadow, preview") << 3 << 0.25;
        QTest::newRow("narrow, no shadow") << 1 << 1.0;
    }
    void keptPartsDrawTheSameAsANewClock()
    {
        QFETCH(int, preset);
        QFETCH(double, scale);
        const ClockStyle style = Presets::builtIn().at(preset).style;
        const QSize size(qRound(screen.width() * scale), qRound(screen.height() * scale));
        const ClockView used(style, scale, 0x33CC66);
        for (const int minutes : {1, 33, 61, 600})
            used.render(size, instant.addSecs(60 * minutes));
        const QImage fresh = ClockView(style, scale, 0x33CC66).render(size, instant);
        QCOMPARE(used.render(size, instant), fresh);
        // And the shadow is there when the style has one.
        if (style.shadowOpacity > 0) {
            ClockStyle none = style;
            none.shadowOpacity = 0;
            QVERIFY(ClockView(none, scale, 0x33CC66).render(size, instant) != fresh);
        }
    }

    // Shadows summed on a canvas give what QPainter's additive mode gives, edges included. QPainter
    // rounds a faint opacity a few percent down; that adds up where shadows overlap.
    void shadowCanvasAddsLikeThePainter_data()
    {
        QTest::addColumn<double>("opacity");
        QTest::newRow("full") << 1.0;
        QTest::newRow("time opacity") << 0.8;
        QTest::newRow("faint") << 0.1;
    }
    void shadowCanvasAddsLikeThePainter()
    {
        QFETCH(double, opacity);
        QRandomGenerator random(7);
        const auto shadowImage = [&](QSize size) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    image.setPixel(x, y, QRgb(random.bounded(256)) << 24);
            return image;
        };
        QImage summed(90, 70, QImage::Format_ARGB32_Premultiplied);
        summed.fill(Qt::transparent);
        QImage painted = summed;
        ShadowCanvas canvas(summed, QPoint(3, -2));
        canvas.setOpacity(opacity);
        QPainter painter(&painted);
        painter.setCompositionMode(QPainter::CompositionMode_Plus);
        painter.setOpacity(opacity);
        painter.translate(3, -2);
        // Overlapping ones, and ones reaching past every edge.
        for (const QPoint at : {QPoint(10, 10), QPoint(20, 15), QPoint(-20, -5), QPoint(70, 50), QPoint(25, 12)}) {
            const QImage shadow = shadowImage(QSize(40, 30));
            canvas.add(at, shadow);
            painter.drawImage(at, shadow);
        }
        painter.end();
        int saturated = 0;
        for (int y = 0; y < summed.height(); ++y)
            for (int x = 0; x < summed.width(); ++x) {
                const QRgb mine = summed.pixel(x, y), theirs = painted.pixel(x, y);
                QVERIFY2(std::abs(qAlpha(mine) - qAlpha(theirs)) <= 2 + qAlpha(theirs) / 12,
                         qPrintable(QStringLiteral("(%1, %2): %3 against %4").arg(x).arg(y).arg(qAlpha(mine)).arg(qAlpha(theirs))));
                QCOMPARE(mine & 0xFFFFFFu, 0u); // still black
                saturated += qAlpha(mine) == 255;
            }
        if (opacity == 1.0)
            QVERIFY(saturated > 0);
    }

    // Whole lines kept for stacked clocks draw what the glyphs draw one by one, and the store of
    // them stays bounded however many lines come by.
    void keptLinesMatchTheGlyphsAndStayBounded()
    {
        const FontSpec timeFont = plainStyle().timeFont;
        const std::optional<FontFace> face = timeFont.drawingFont(60);
        QVERIFY(face);
        // Wide enough for the digits' shadows to overlap.
        const GlyphSprites::Blur blur{8, 1};
        const auto line = [&](const QString& text, int id, bool keep) {
            return GlyphSprites::Line{*face, face->shapeLine(text).glyphs, QColor(Qt::white), id, keep ? text : QString()};
        };
        const auto draw = [&](GlyphSprites& sprites, const GlyphSprites::Line& glyphs, QPointF at) {
            QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            ShadowCanvas canvas(image);
            sprites.drawShadows(canvas, at, glyphs, blur);
            QPainter painter(&image);
            sprites.draw(painter, at, glyphs);
            return image;
        };
        GlyphSprites kept, single;
        for (const QPointF at : {QPointF(20.3, 10.6), QPointF(41, 33.25)}) {
            const QImage once = draw(kept, line(QStringLiteral("47"), 1, true), at);
            QVERIFY(inkIn(once, once.rect()) > 200);
            QCOMPARE(draw(kept, line(QStringLiteral("47"), 1, true), at), once);
            const QImage byGlyph = draw(single, line(QStringLiteral("47"), 1, false), at);
            for (int y = 0; y < once.height(); ++y)
                for (int x = 0; x < once.width(); ++x)
                    QVERIFY(std::abs(qAlpha(once.pixel(x, y)) - qAlpha(byGlyph.pixel(x, y))) <= 1);
        }
        QCOMPARE(single.keptLines(), 0);

        // Large lines fill the store before their number does; new ones are then drawn unkept.
        const std::optional<FontFace> large = timeFont.drawingFont(400);
        QVERIFY(large);
        GlyphSprites many;
        QImage canvas(1200, 600, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        for (int n = 0; n < 40; ++n) {
            canvas.fill(Qt::transparent);
            const QString text = QString::number(n);
            many.draw(painter, QPointF(10, 10), GlyphSprites::Line{*large, large->shapeLine(text).glyphs, QColor(Qt::white), 1, text});
            QVERIFY(inkIn(canvas, canvas.rect()) > 1000);
        }
        QVERIFY(many.keptLines() > 1);
        QVERIFY(many.keptLines() < 40);
        // Lines of another face, fill or blur take the place of the old ones.
        many.draw(painter, QPointF(10, 10), GlyphSprites::Line{*large, large->shapeLine(QStringLiteral("12")).glyphs, QColor(Qt::red), 2,
                                                              QStringLiteral("12")});
        QCOMPARE(many.keptLines(), 1);
    }

    // Switching between 12 and 24 hours redraws the digits of a clock that showed the other cycle.
    void hourCycleChangeRedrawsTheDigits()
    {
        const ClockStyle style = Presets::builtIn().at(3).style; // stacked
        const QDateTime evening(QDate(2026, 3, 14), QTime(21, 5));
        const QSize size(378, 246);
        ClockHours::shared().setFormat(ClockTimeFormat::twentyFour);
        const ClockView view(style, 0.25, 0x33CC66);
        const QImage twentyFour = view.render(size, evening);
        ClockHours::shared().setFormat(ClockTimeFormat::twelve);
        const QImage twelve = view.render(size, evening);
        QCOMPARE(twelve, ClockView(style, 0.25, 0x33CC66).render(size, evening));
        QVERIFY(twelve != twentyFour);
        ClockHours::shared().setFormat(ClockTimeFormat::twentyFour);
        QCOMPARE(view.render(size, evening), twentyFour);
    }

    void outlineLeavesTheInsideEmpty()
    {
        ClockStyle style = plainStyle();
        const int filled = inkIn(render(style), QRect(0, 0, 1512, 982));
        style.finish = DigitFinish::outline;
        style.outlineWidth = 2;
        const int outline = inkIn(render(style), QRect(0, 0, 1512, 982));
        QVERIFY2(outline < filled / 2, qPrintable(QStringLiteral("%1 vs %2").arg(outline).arg(filled)));
        QVERIFY(outline > 200);
        style.finish = DigitFinish::glass;
        const QImage glass = render(style);
        QVERIFY(inkIn(glass, glass.rect()) > outline); // a faint body under the stroke
    }

    void outlineWidthHasAFloor()
    {
        ClockStyle style = plainStyle();
        style.finish = DigitFinish::outline;
        style.outlineWidth = 0.1;
        const QImage thin = render(style);
        style.outlineWidth = 0.5;
        QCOMPARE(render(style), thin);
        style.outlineWidth = 2;
        QVERIFY(render(style) != thin);
    }

    void unloadableFamilyDrawsLikeFilled()
    {
        ClockStyle style = plainStyle();
        style.timeFont.family = QStringLiteral("No Such Family 3000");
        const QImage filled = render(style);
        QVERIFY(inkIn(filled, filled.rect()) > 1000); // Qt's fallback font still draws
        style.finish = DigitFinish::outline;
        QCOMPARE(render(style), filled);
        style.finish = DigitFinish::glass;
        QCOMPARE(render(style), filled);
    }

    void stackedRowsOverlapByThirtyPercent()
    {
        ClockStyle style = plainStyle();
        const double oneRow = ClockView(style, 1, 0).blockSize(instant).height();
        style.arrangement = TimeArrangement::stacked;
        style.showSeconds = true;
        const QSizeF stacked = ClockView(style, 1, 0).blockSize(instant);
        QVERIFY(qAbs(stacked.height() - (3 * oneRow - 2 * 0.3 * style.timeFont.size)) < 0.01);
        // Three bands of ink, one per row.
        const QImage image = render(style);
        const ClockView view(style, 1, 0);
        const QRect block = view.blockRect(QRectF(QPointF(0, 0), QSizeF(screen)), stacked).toAlignedRect();
        const int step = int(oneRow - 0.3 * style.timeFont.size);
        for (int row = 0; row < 3; ++row)
            QVERIFY(inkIn(image, QRect(block.left(), block.top() + row * step + int(oneRow / 2) - 5, block.width(), 10)) > 20);
    }

    void ownLineOfSpacesAddsNothing()
    {
        ClockStyle style = plainStyle();
        style.showWeekday = true;
        const QImage without = render(style);
        style.ownLine = QStringLiteral("     ");
        QCOMPARE(render(style), without);
        style.ownLine = QStringLiteral("Hi");
        QVERIFY(ClockView(style, 1, 0).blockSize(instant).height() > ClockView(plainStyle(), 1, 0).blockSize(instant).height());
    }

    void previewIsAMiniature()
    {
        const ClockStyle style = Presets::builtIn().at(0).style;
        const QSizeF full = ClockView(style, 1, 0).blockSize(instant);
        const QSizeF preview = ClockView(style, 0.25, 0).blockSize(instant);
        QVERIFY2(qAbs(preview.width() - full.width() / 4) < 2 && qAbs(preview.height() - full.height() / 4) < 2,
                 qPrintable(QStringLiteral("%1x%2 vs %3x%4").arg(preview.width()).arg(preview.height()).arg(full.width()).arg(full.height())));
    }

    void digitsFollowTheWallpaper()
    {
        ClockStyle style = plainStyle();
        style.digitsFollowWallpaper = true;
        const QImage image = render(style);
        int accent = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                if (image.pixel(x, y) == qRgb(0x33, 0xCC, 0x66))
                    ++accent;
        QVERIFY(accent > 100);
    }

    void damagedNumbersDoNotCrash()
    {
        ClockStyle style = plainStyle();
        style.timeFont.size = 1e9;
        style.shadowOpacity = 1;
        style.shadowRadius = 1e12;
        QVERIFY(!render(style, 0.25).isNull());
        style.timeFont.size = -5;
        style.outlineWidth = -1;
        style.finish = DigitFinish::glass;
        QVERIFY(!render(style, 0.25).isNull());
    }
};

QTEST_MAIN(TestClockDrawing)
#include "tst_clock_drawing.moc"
