#include "media/fill_scaler.h"

#include <QTest>

#include <cstdlib>
#include <map>

// The part of a frame that fills a display: centred, the display's shape, whole pixels inside the
// frame; and pictures of exactly the asked size out of real frames.
class TestFillScaler : public QObject
{
    Q_OBJECT

private slots:
    void cropKeepsTheDisplaysShape_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<double>("pixelAspect");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QRect>("crop");
        QTest::newRow("same shape") << QSize(1920, 1080) << 1.0 << QSize(1280, 720) << QRect(0, 0, 1920, 1080);
        QTest::newRow("16:9 on 16:10") << QSize(1920, 1080) << 1.0 << QSize(1280, 800) << QRect(96, 0, 1728, 1080);
        QTest::newRow("16:9 on portrait") << QSize(1920, 1080) << 1.0 << QSize(1080, 1920) << QRect(656, 0, 608, 1080);
        QTest::newRow("4:3 on ultrawide") << QSize(640, 480) << 1.0 << QSize(3440, 1440) << QRect(0, 106, 640, 268);
        // Stored narrow, shown wide (anamorphic): 960 stored pixels are 1920 shown.
        QTest::newRow("anamorphic") << QSize(960, 1080) << 2.0 << QSize(1920, 1080) << QRect(0, 0, 960, 1080);
        QTest::newRow("anamorphic on square") << QSize(960, 1080) << 2.0 << QSize(1000, 1000) << QRect(210, 0, 540, 1080);
        QTest::newRow("2x2 on a line") << QSize(2, 2) << 1.0 << QSize(640, 1) << QRect(0, 0, 2, 1);
        QTest::newRow("one pixel") << QSize(1, 1) << 1.0 << QSize(1920, 1080) << QRect(0, 0, 1, 1);
        QTest::newRow("empty target") << QSize(1920, 1080) << 1.0 << QSize(0, 1080) << QRect();
    }

    void cropKeepsTheDisplaysShape()
    {
        QFETCH(QSize, frame);
        QFETCH(double, pixelAspect);
        QFETCH(QSize, target);
        QFETCH(QRect, crop);
        const QRect got = FillScaler::crop(frame, pixelAspect, target);
        QCOMPARE(got, crop);
        if (!got.isNull())
            QVERIFY(QRect(QPoint(0, 0), frame).contains(got));
    }

    void fillsExactlyAndReusesItsPictures()
    {
        // A frame whose left half is black and right half white (full-range grey levels).
        Av::FramePtr frame = Av::makeVideoFrame(64, 36, AV_PIX_FMT_YUV420P);
        QVERIFY(frame);
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 64; ++x)
                frame->data[0][y * frame->linesize[0] + x] = x < 32 ? 16 : 235;
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < 18; ++y)
                std::fill_n(frame->data[plane] + y * frame->linesize[plane], 32, uint8_t(128));

        FillScaler scaler;
        // A square display shows the middle: still half black, half white.
        QImage square = scaler.fill(frame.get(), QSize(100, 100));
        QCOMPARE(square.size(), QSize(100, 100));
        QVERIFY(qGray(square.pixel(10, 50)) < 20);
        QVERIFY(qGray(square.pixel(90, 50)) > 235);
        // Turned a quarter clockwise, the black half is on top.
        scaler.setShape(1.0, 90);
        const QImage turned = scaler.fill(frame.get(), QSize(36, 64));
        QCOMPARE(turned.size(), QSize(36, 64));
        QVERIFY(qGray(turned.pixel(18, 5)) < 20);
        QVERIFY(qGray(turned.pixel(18, 58)) > 235);

        // Pictures nobody holds are drawn into again; held ones are never written over.
        scaler.setShape(1.0, 0);
        const QImage held = scaler.fill(frame.get(), QSize(100, 100));
        const QImage copy = held.copy();
        for (int i = 0; i < 10; ++i)
            QCOMPARE(scaler.fill(frame.get(), QSize(100, 100)).size(), QSize(100, 100));
        QCOMPARE(held, copy);
        QVERIFY(scaler.fill(nullptr, QSize(10, 10)).isNull());
        QVERIFY(scaler.fill(frame.get(), QSize()).isNull());
        QVERIFY(!scaler.error().empty());
        square = {};
    }

    // A frame at twice or four times the display's size is halved before the scaler: every source
    // pixel still counts (one-pixel stripes become an even grey, a block of colour keeps its
    // colour and place), and pictures keep their exact size.
    void bigFramesAreHalvedFirst()
    {
        for (const int factor : {2, 4}) {
            const int width = 64 * factor, height = 36 * factor;
            Av::FramePtr frame = Av::makeVideoFrame(width, height, AV_PIX_FMT_YUV420P);
            QVERIFY(frame);
            // Left half: black and white columns one pixel wide; right half: a flat light grey,
            // with a red chroma over the right half's lower part.
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    frame->data[0][y * frame->linesize[0] + x] = x < width / 2 ? (x % 2 ? 235 : 16) : 180;
            for (int y = 0; y < height / 2; ++y)
                for (int x = 0; x < width / 2; ++x) {
                    const bool red = x >= width / 4 && y >= height / 4;
                    frame->data[1][y * frame->linesize[1] + x] = red ? 100 : 128;
                    frame->data[2][y * frame->linesize[2] + x] = red ? 200 : 128;
                }
            FillScaler scaler;
            const QImage image = scaler.fill(frame.get(), QSize(64, 36));
            QCOMPARE(image.size(), QSize(64, 36));
            for (const int x : {2, 15, 28}) {
                const QRgb stripes = image.pixel(x, 18);
                QVERIFY2(std::abs(qGray(stripes) - 128) < 12 && std::abs(qRed(stripes) - qBlue(stripes)) < 8,
                         qPrintable(QStringLiteral("factor %1, x %2: %3").arg(factor).arg(x).arg(stripes, 0, 16)));
            }
            const QRgb grey = image.pixel(50, 4), red = image.pixel(50, 30);
            QVERIFY(std::abs(qRed(grey) - qBlue(grey)) < 8);
            QVERIFY2(qRed(red) > qGreen(red) + 60 && qRed(red) > qBlue(red) + 40, qPrintable(QString::number(red, 16)));
        }
    }

    // Pictures made in a viewer's memory: every block is given back once neither the scaler nor
    // any picture holds it, held ones are not drawn into, and a viewer out of memory still gets
    // pictures (FFmpeg's own).
    void picturesGoIntoTheViewersMemory()
    {
        Av::FramePtr frame = Av::makeVideoFrame(64, 36, AV_PIX_FMT_YUV420P);
        QVERIFY(frame);
        for (int plane = 0; plane < 3; ++plane)
            std::fill_n(frame->data[plane], frame->linesize[plane] * (plane ? 18 : 36), uint8_t(plane ? 128 : 200));

        std::map<uchar*, std::size_t> blocks;
        int given = 0;
        bool refuse = false;
        PictureMemory memory {[&](std::size_t bytes) -> uchar* {
                                  if (refuse)
                                      return nullptr;
                                  auto* block = static_cast<uchar*>(std::aligned_alloc(64, (bytes + 63) / 64 * 64));
                                  blocks.emplace(block, bytes);
                                  return block;
                              },
                              [&](uchar* block) {
                                  QVERIFY(blocks.erase(block) == 1);
                                  std::free(block);
                                  ++given;
                              }};
        auto inABlock = [&](const QImage& image) {
            for (const auto& [start, bytes] : blocks)
                if (image.constBits() >= start && image.constBits() + image.sizeInBytes() <= start + bytes)
                    return true;
            return false;
        };
        {
            FillScaler scaler;
            scaler.setMemory(memory);
            // An odd width: rows are padded, and the last row's whole-block writes stay inside.
            const QImage held = scaler.fill(frame.get(), QSize(37, 21));
            QCOMPARE(held.size(), QSize(37, 21));
            QVERIFY(inABlock(held));
            QCOMPARE(held.bytesPerLine() % 64, 0);
            QVERIFY(qGray(held.pixel(36, 20)) > 180);
            const QImage copy = held.copy();
            for (int i = 0; i < 10; ++i)
                QVERIFY(inABlock(scaler.fill(frame.get(), QSize(37, 21))));
            QCOMPARE(held, copy);
            QVERIFY(blocks.size() <= 4);

            refuse = true;
            const QImage elsewhere = scaler.fill(frame.get(), QSize(20, 20));
            QCOMPARE(elsewhere.size(), QSize(20, 20));
            QVERIFY(!inABlock(elsewhere));
            // The picture still held keeps its block after the scaler is gone.
            const int before = given;
            QVERIFY(before > 0); // the other size's blocks went when the size changed
            QVERIFY(!blocks.empty());
            QVERIFY(inABlock(held));
        }
        QCOMPARE(blocks.size(), std::size_t(0));
        QVERIFY(given > 0);
    }
};

QTEST_GUILESS_MAIN(TestFillScaler)
#include "tst_fill_scaler.moc"
