#include "brand/brand_accent.h"
#include "core/notices.h"
#include "core/zentrove.h"
#include "library/library_services.h"
#include "platform/defaults.h"

#include "test_support.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage solid(const QColor& colour, QSize size = QSize(200, 120))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

double hueOf(quint32 hex) { return QColor::fromRgb(QRgb(hex)).hsvHueF(); }

} // namespace

class TestBrandAccent : public QObject
{
    Q_OBJECT
private slots:
    void greyPicturesHaveNoAccent()
    {
        QCOMPARE(BrandAccent::pick(solid(Qt::gray)), std::nullopt);
        QImage stripes = solid(Qt::black);
        QPainter(&stripes).fillRect(0, 0, 100, 120, Qt::white);
        QCOMPARE(BrandAccent::pick(stripes), std::nullopt);
        QCOMPARE(BrandAccent::pick(QImage()), std::nullopt);
    }

    void pureRedGivesTheClampedRed()
    {
        const auto hex = BrandAccent::pick(solid(QColor(255, 0, 0)));
        QVERIFY(hex);
        // Hue 0, saturation 0.62, brightness 0.94, each channel truncated.
        QCOMPARE(*hex, quint32((239u << 16) | (91u << 8) | 91u));
    }

    void dominantVividHueWins()
    {
        // Mostly blue with some green and a large grey area that must not count.
        QImage image = solid(Qt::gray, QSize(300, 300));
        QPainter p(&image);
        p.fillRect(0, 0, 300, 100, QColor(20, 60, 230));
        p.fillRect(0, 100, 300, 40, QColor(30, 200, 40));
        p.end();
        const auto hex = BrandAccent::pick(image);
        QVERIFY(hex);
        QVERIFY(qAbs(hueOf(*hex) - QColor(20, 60, 230).hsvHueF()) < 0.02);
        const QColor accent = QColor::fromRgb(QRgb(*hex));
        QVERIFY(accent.valueF() >= 0.82f - 0.01f && accent.valueF() <= 0.94f + 0.01f);
    }

    void edgeTextNeedsFourNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::newRow("four") << "0.100,0.200,0.300,0.400" << true;
        QTest::newRow("integers") << "0,1,0,1" << true;
        QTest::newRow("three") << "0.1,0.2,0.3" << false;
        QTest::newRow("five") << "0.1,0.2,0.3,0.4,0.5" << false;
        QTest::newRow("word") << "0.1,dark,0.3,0.4" << false;
        QTest::newRow("empty piece") << "0.1,,0.3,0.4" << false;
        QTest::newRow("not a number") << "nan,0.2,0.3,0.4" << false;
        QTest::newRow("infinite") << "inf,0.2,0.3,0.4" << false;
        QTest::newRow("blank") << "" << false;
    }
    void edgeTextNeedsFourNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, parses);
        QCOMPARE(EdgeBrightness::parse(text).has_value(), parses);
    }

    void edgesRoundTripAndMeasure()
    {
        const EdgeBrightness edges{0.1, 0.25, 0.5, 1};
        QCOMPARE(edges.text(), QStringLiteral("0.100,0.250,0.500,1.000"));
        QCOMPARE(EdgeBrightness::parse(edges.text()), std::optional<EdgeBrightness>(edges));
        QCOMPARE(EdgeBrightness().text(), QStringLiteral("0.500,0.500,0.500,0.500"));

        // White top half, black bottom half.
        QImage image = solid(Qt::black, QSize(64, 64));
        QPainter(&image).fillRect(0, 0, 64, 32, Qt::white);
        const auto measured = EdgeBrightness::fromImage(image);
        QVERIFY(measured);
        QVERIFY(measured->top > 0.99 && measured->bottom < 0.01);
        QVERIFY(qAbs(measured->left - 0.5) < 0.02 && qAbs(measured->right - 0.5) < 0.02);
        QCOMPARE(EdgeBrightness::fromImage(QImage()), std::nullopt);
    }

    void payloadsParseHalfByHalf()
    {
        QCOMPARE(BrandAccent::payload(0x0A0B0C, EdgeBrightness()), QStringLiteral("a0b0c|0.500,0.500,0.500,0.500"));
        auto p = BrandAccent::parsePayload(QStringLiteral("+Ff0000|0.1,0.2,0.3,0.4"));
        QCOMPARE(p.hex, std::optional<quint32>(0xFF0000));
        QCOMPARE(p.edges, std::optional<EdgeBrightness>(EdgeBrightness{0.1, 0.2, 0.3, 0.4}));
        p = BrandAccent::parsePayload(QStringLiteral("zz|0.1,0.2,0.3,0.4"));
        QCOMPARE(p.hex, std::nullopt);
        QVERIFY(p.edges);
        p = BrandAccent::parsePayload(QStringLiteral("abc|0.1,0.2,0.3"));
        QCOMPARE(p.hex, std::optional<quint32>(0xABC));
        QCOMPARE(p.edges, std::nullopt);
        p = BrandAccent::parsePayload(QStringLiteral("123456789|"));
        QCOMPARE(p.hex, std::nullopt); // more than 32 bits
        p = BrandAccent::parsePayload(QStringLiteral("-1|||"));
        QVERIFY(!p.hex && !p.edges);
        p = BrandAccent::parsePayload(QString());
        QVERIFY(!p.hex && !p.edges);
    }

    void updateStoresAndAnnounces()
    {
        TestHome home;
        QTemporaryDir folder;
        const QString red = folder.filePath(QStringLiteral("red.png"));
        QVERIFY(solid(QColor(255, 0, 0)).save(red));

        BrandAccent& accent = BrandAccent::shared();
        QSignalSpy hexSpy(&accent, &BrandAccent::hexChanged);
        std::optional<QString> seen;
        const NoticeToken token = Notifier::observe(Notices::brandAccentChanged(), [&](const auto& object) { seen = object; });

        bool done = false;
        BrandAccent::update(red, [&] { done = true; });
        QTRY_VERIFY(done);
        QTRY_VERIFY(seen.has_value());
        QCOMPARE(seen->section(QLatin1Char('|'), 0, 0), QStringLiteral("ef5b5b"));
        Defaults& domain = Defaults::domain(Zentrove::paneflowID());
        QCOMPARE(domain.integer(QStringLiteral("brandAccent")), std::optional<qlonglong>(0xEF5B5B));
        QCOMPARE(domain.string(QStringLiteral("brandEdges")), std::optional<QString>(seen->section(QLatin1Char('|'), 1)));
        QTRY_COMPARE(accent.hex(), quint32(0xEF5B5B));
        QCOMPARE(hexSpy.count(), 1);
        QVERIFY(qAbs(accent.glow().alphaF() - 0.22f) < 0.001f);

        // No picture: back to the fallback.
        done = false;
        BrandAccent::update(folder.filePath(QStringLiteral("missing.png")), [&] { done = true; });
        QTRY_VERIFY(done);
        QTRY_COMPARE(accent.hex(), BrandAccent::fallback);
        QCOMPARE(accent.edges(), EdgeBrightness());

        // Another process's notice with a damaged edge half changes the colour only.
        Notifier::post(Notices::brandAccentChanged(), QStringLiteral("123456|dark"));
        QTRY_COMPARE(accent.hex(), quint32(0x123456));
        QCOMPARE(accent.edges(), EdgeBrightness());
        const int before = hexSpy.count();
        Notifier::post(Notices::brandAccentChanged(), QStringLiteral("123456|0.1,0.2,0.3,0.4"));
        QTRY_COMPARE(accent.edges(), (EdgeBrightness{0.1, 0.2, 0.3, 0.4}));
        QCOMPARE(hexSpy.count(), before); // same colour: no change announced

        // The library store's refresh of the current wallpaper reaches the accent.
        BrandAccent::followWallpapers();
        LibraryServices::installed().accent->refresh(red);
        QTRY_COMPARE(accent.hex(), quint32(0xEF5B5B));
        LibraryServices::installed().accent->refresh(QString()); // no current wallpaper
        QTRY_COMPARE(accent.hex(), BrandAccent::fallback);
    }
};

QTEST_MAIN(TestBrandAccent)
#include "tst_brand_accent.moc"
