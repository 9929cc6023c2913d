#include "brand/brand.h"

#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestBrand : public QObject
{
    Q_OBJECT
private slots:
    void paletteIsOpaqueExceptRaised()
    {
        QCOMPARE(Brand::base().rgb() & 0xFFFFFF, 0x1A1B1Eu);
        QCOMPARE(Brand::failure().rgb() & 0xFFFFFF, 0xFF6B6Bu);
        QCOMPARE(Brand::base().alpha(), 255);
        QVERIFY(qAbs(Brand::raised().alphaF() - 0.035) < 0.003);
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
