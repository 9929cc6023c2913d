#include "brand/brand.h"
#include "brand/brand_font.h"
#include "clock/font_library.h"
#include "clock/clock_font.h"
#include "clock/glyph_shape.h"

#include <QTest>

namespace {

FontSpec display(FontWeightOption weight, std::optional<double> width = std::nullopt)
{
    return FontSpec{BrandFont::displayFamily(), FontDesign::standard, weight, 100, width};
}

} // namespace

class TestClockFont : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(Brand::registerFonts() > 0); }

    void variableFaceTakesClampedAxes()
    {
        // The display face's weight axis runs 200...800 and its width axis 75...100.
        const auto heavy = display(FontWeightOption::heavy).drawingFont(100);
        QVERIFY(heavy);
        QCOMPARE(heavy->variation("wght"), std::optional<double>(800));
        QVERIFY(heavy->tabularFigures());
        QCOMPARE(display(FontWeightOption::ultraLight).drawingFont(100)->variation("wght"), std::optional<double>(200));
        QCOMPARE(display(FontWeightOption::black).drawingFont(100)->variation("wght"), std::optional<double>(800));
        QCOMPARE(display(FontWeightOption::light, 60.0).drawingFont(100)->variation("wdth"), std::optional<double>(75));
        QCOMPARE(display(FontWeightOption::light, 90.0).drawingFont(100)->variation("wdth"), std::optional<double>(90));
        // Normal width sets nothing.
        QCOMPARE(display(FontWeightOption::light, 100.0).drawingFont(100)->variation("wdth"), std::nullopt);
        // Heavier and narrower really change the drawing.
        const double regular = display(FontWeightOption::regular).drawingFont(100)->advance(QStringLiteral("10:08"));
        const double narrow = display(FontWeightOption::regular, 75.0).drawingFont(100)->advance(QStringLiteral("10:08"));
        QVERIFY(narrow < regular * 0.95);
    }

    void widthRangeOnlyWithAWidthAxis()
    {
        QCOMPARE(display(FontWeightOption::regular).widthRange(), std::optional(std::make_pair(75.0, 100.0)));
        const FontSpec mono{BrandFont::monoFamily(), FontDesign::monospaced, FontWeightOption::medium, 16, 80.0};
        QCOMPARE(mono.widthRange(), std::nullopt);
        // A stored width on a face without the axis is ignored.
        const auto face = mono.drawingFont(16);
        QVERIFY(face);
        QCOMPARE(face->variation("wdth"), std::nullopt);
    }

    void staticFamilyPicksTheNearestMember()
    {
        const FontSpec light{BrandFont::uiFamily(), FontDesign::standard, FontWeightOption::light, 20, std::nullopt};
        const FontSpec bold{BrandFont::uiFamily(), FontDesign::standard, FontWeightOption::bold, 20, std::nullopt};
        QVERIFY(light.baseFont(20)->filePath().endsWith(QLatin1String("IBMPlexSans-Light.woff2")));
        QVERIFY(bold.baseFont(20)->filePath().endsWith(QLatin1String("IBMPlexSans-Bold.woff2")));
        // Heavy and black are not shipped: the boldest member stands in.
        const FontSpec black{BrandFont::uiFamily(), FontDesign::standard, FontWeightOption::black, 20, std::nullopt};
        QVERIFY(black.baseFont(20)->filePath().endsWith(QLatin1String("IBMPlexSans-Bold.woff2")));
    }

    void tabularFiguresKeepTheTimeSteady()
    {
        const auto face = display(FontWeightOption::bold).drawingFont(100);
        QCOMPARE(face->advance(QStringLiteral("11:11")), face->advance(QStringLiteral("00:00")));
        // Without the feature the display face's figures are proportional.
        const auto proportional = face->withTabularFigures(false);
        QVERIFY(proportional.advance(QStringLiteral("11:11")) < proportional.advance(QStringLiteral("00:00")));
    }

    void missingFamiliesFallBack()
    {
        const FontSpec missing{QStringLiteral("No Such Family 3000"), FontDesign::standard, FontWeightOption::bold, 20, std::nullopt};
        QCOMPARE(missing.baseFont(20).has_value(), false);
        QCOMPARE(missing.drawingFont(20).has_value(), false);
        QCOMPARE(missing.widthRange(), std::nullopt);
        QVERIFY(!FontLibrary::font(QStringLiteral("No Such Family 3000"), 9, 20));
        // The system face of a design, or the standard one where the system has none.
        for (const FontDesign design : allCases<FontDesign>()) {
            const FontSpec system{QString(), design, FontWeightOption::regular, 20, std::nullopt};
            QVERIFY2(system.baseFont(20), qPrintable(rawValue(design)));
        }
    }

    void fontLibraryLists()
    {
        QCOMPARE(FontLibrary::bundled(), (QStringList{QStringLiteral("Bricolage Grotesque"), QStringLiteral("IBM Plex Sans"),
                                                      QStringLiteral("IBM Plex Mono")}));
        for (const QString& family : FontLibrary::userInstalled()) {
            QVERIFY(!FontLibrary::bundled().contains(family));
            QVERIFY(!family.startsWith(QLatin1Char('.')));
        }
        QCOMPARE(FontLibrary::weightForManagerWeight(8), 600);
        QCOMPARE(FontLibrary::weightForManagerWeight(5), 400);
        QCOMPARE(FontLibrary::weightForManagerWeight(99), 900);
    }

    void glyphShapeStandsUprightInsideItsInset()
    {
        const auto face = display(FontWeightOption::bold).drawingFont(100);
        const GlyphShape shape{QStringLiteral("10:08"), *face, 3, 0};
        const QRectF bounds = shape.path().boundingRect();
        const QSizeF size = shape.size();
        QVERIFY(bounds.left() >= 0 && bounds.top() >= 3 - 0.01);
        QVERIFY2(bounds.right() <= size.width() && bounds.bottom() <= size.height() - 3,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(bounds.right()).arg(size.width()).arg(bounds.bottom()).arg(size.height())));
        // Digits sit on the baseline: their bottoms are near it, their tops well above.
        QVERIFY(qAbs(bounds.bottom() - (3 + face->ascent())) < 3);
        QVERIFY(bounds.height() > 60);
        // Characters the face lacks still draw, through Qt's fallback.
        const GlyphShape foreign{QStringLiteral("\u0661\u0662"), *face, 0, 0};
        QVERIFY(!foreign.path().isEmpty());
    }
};

QTEST_MAIN(TestClockFont)
#include "tst_clock_font.moc"
