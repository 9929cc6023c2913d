#include "brand/brand.h"

#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

class TestBrand : public QObject
{
    Q_OBJECT
private slots:
    // Text of every kind, the muted line included, stays readable on the page and the sidebar: at
    // least the 4.5:1 contrast asked of ordinary text.
    void textIsReadableOnEveryBackground()
    {
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        const auto contrast = [&](const QColor& a, const QColor& b) {
            const double la = luminance(a), lb = luminance(b);
            return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
        };
        for (const QColor& background : {Brand::base(), Brand::sidebar()}) {
            QCOMPARE(background.alpha(), 255);
            for (const QColor& ink : {Brand::text(), Brand::muted(), Brand::ok(), Brand::warning(), Brand::failure()})
                QVERIFY2(contrast(ink, background) >= 4.5, qPrintable(ink.name() + QLatin1Char('/') + background.name()));
        }
        // Raised boxes only lighten what is under them.
        QVERIFY(Brand::raised().alphaF() > 0 && Brand::raised().alphaF() < 0.1);
    }

    void shippedFontsRegister()
    {
        QVERIFY2(Brand::registerFonts() > 0, qPrintable(Brand::fontsFolder()));
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.contains(QStringLiteral("Bricolage Grotesque")));
        QVERIFY(families.contains(QStringLiteral("IBM Plex Sans")));
        QVERIFY(families.contains(QStringLiteral("IBM Plex Mono")));
    }

    void brokenFontFilesAreSkipped()
    {
        QTemporaryDir folder;
        QFile bad(folder.filePath(QStringLiteral("broken.ttf")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a font");
        bad.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Zentrove: font not registered: .*broken\\.ttf")));
        QCOMPARE(Brand::registerFonts(folder.path()), 0);
    }
};

QTEST_MAIN(TestBrand)
#include "tst_brand.moc"
