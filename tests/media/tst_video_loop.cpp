#include "media/half_size_frame.h"
#include "media/video_loop.h"
#include "clip_maker.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Mean difference per colour channel of two images of one size, in levels of 255.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

// Frames for a looping preview: their size, the loop, images drawn into again only once nobody
// holds them, and big frames taken down by whole halves before the scaler.
class TestVideoLoop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(ClipMaker::pattern(path("wide.mp4"), QStringLiteral("320x180"), 10, 0.5));
        // An odd width, shown at its own size, takes swscale's unscaled path, whose vector code
        // writes whole blocks past a row's end.
        QVERIFY(ClipMaker::pattern(path("odd.mp4"), QStringLiteral("18x18"), 10, 0.3));
    }

    void framesFitTheAskedSizeAndLoop()
    {
        VideoLoop loop;
        QVERIFY(loop.open(path("wide.mp4"), 1));
        QCOMPARE(loop.displaySize(), QSize(320, 180));
        QList<int> restarts;
        for (int i = 0; i < 12; ++i) {
            const VideoLoop::Frame frame = loop.next(QSize(200, 200));
            QVERIFY2(!frame.image.isNull(), loop.error().c_str());
            QCOMPARE(frame.image.size(), QSize(200, 112));
            if (frame.restarted)
                restarts << i;
        }
        QCOMPARE(restarts, (QList<int>{5, 10})); // five frames a pass
    }

    void aHeldFrameIsNeverDrawnIntoAgain()
    {
        VideoLoop loop;
        QVERIFY(loop.open(path("wide.mp4"), 1));
        // Held: every frame has pixels of its own, and each keeps what it showed.
        QList<QImage> held;
        QList<QImage> copies;
        QSet<const uchar*> pixels;
        for (int i = 0; i < 5; ++i) {
            held << loop.next(QSize(320, 180)).image;
            copies << held.last().copy();
            pixels.insert(held.last().constBits());
        }
        QCOMPARE(pixels.size(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(held[i], copies[i]);

        // Let go of at once: the same few buffers come round again.
        held.clear();
        pixels.clear();
        for (int i = 0; i < 20; ++i)
            pixels.insert(loop.next(QSize(320, 180)).image.constBits());
        QVERIFY2(pixels.size() <= 3, qPrintable(QString::number(pixels.size())));
    }

    void halvingAveragesEachBlock()
    {
        Av::FramePtr frame = Av::makeVideoFrame(8, 4, AV_PIX_FMT_YUV420P);
        QVERIFY(frame);
        for (int plane = 0; plane < 3; ++plane) {
            const int width = plane ? 4 : 8, height = plane ? 2 : 4;
            for (int y = 0; y < height; ++y) {
                uint8_t* row = frame->data[plane] + y * frame->linesize[plane];
                for (int x = 0; x < width; ++x)
                    row[x] = uint8_t(plane * 60 + y * 10 + x);
                // Bytes of the row padding must not leak into the picture.
                std::fill(row + width, row + frame->linesize[plane], uint8_t(255));
            }
        }
        frame->color_range = AVCOL_RANGE_JPEG;
        HalfSizeFrame half;
        const AVFrame* halved = half.halve(frame.get());
        QVERIFY(halved);
        QCOMPARE(QSize(halved->width, halved->height), QSize(4, 2));
        QCOMPARE(halved->format, int(AV_PIX_FMT_YUV420P));
        QCOMPARE(halved->color_range, AVCOL_RANGE_JPEG);
        // Luma (0,0): 0, 1, 10, 11 -> 5.5, rounded to 6; (3,1): 26, 27, 36, 37 -> 31.5 -> 32.
        QCOMPARE(int(halved->data[0][0]), 6);
        QCOMPARE(int(halved->data[0][halved->linesize[0] + 3]), 32);
        // Chroma planes are 4x2 and become 2x1: U (1,0) is 62, 63, 72, 73 -> 67.5 -> 68.
        QCOMPARE(int(halved->data[1][1]), 68);
        QCOMPARE(int(halved->data[2][0]), 126); // 120, 121, 130, 131 -> 125.5 -> 126

        // Only 8-bit planar 4:2:0 in whole 4:2:0 halves.
        for (const auto& [format, width, height] : {std::tuple{AV_PIX_FMT_YUV420P, 6, 4}, std::tuple{AV_PIX_FMT_YUV420P, 8, 2},
                                                    std::tuple{AV_PIX_FMT_NV12, 8, 4}, std::tuple{AV_PIX_FMT_YUV444P, 8, 4}}) {
            Av::FramePtr other = Av::makeVideoFrame(width, height, format);
            QVERIFY(other);
            QVERIFY(!HalfSizeFrame::canHalve(other.get()));
            QVERIFY(!half.halve(other.get()));
        }
    }

    // A frame shown at a half or a quarter of its size looks as the full frame scaled down does:
    // planes, rows and colours all land where they belong.
    void halvedFramesLookLikeScaledOnes()
    {
        QVERIFY(ClipMaker::pattern(path("big.mp4"), QStringLiteral("640x360"), 10, 0.1));
        VideoLoop full, small;
        QVERIFY(full.open(path("big.mp4"), 1));
        QVERIFY(small.open(path("big.mp4"), 1));
        const QImage reference = full.next(QSize(640, 360)).image;
        QVERIFY(!reference.isNull());
        const QImage half = small.next(QSize(320, 180)).image;
        QCOMPARE(half.size(), QSize(320, 180));
        QVERIFY2(meanDifference(half, reference.scaled(half.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)) < 3,
                 "the half-size frame differs from the scaled full frame");
        // Two halvings (to 160x90), then the scaler for the rest. This sharp pattern is a hard
        // case for any filter at a quarter: a general scaler differs by 5 levels too; a plane or
        // row out of place differs by tens.
        const QImage quarter = small.next(QSize(150, 90)).image;
        QCOMPARE(quarter.size(), QSize(150, 84));
        const QImage second = full.next(QSize(640, 360)).image;
        QVERIFY2(meanDifference(quarter, second.scaled(quarter.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)) < 8,
                 "the quarter-size frame differs from the scaled full frame");
    }

    void oddSizesAtTheirOwnSize()
    {
        VideoLoop loop;
        QVERIFY(loop.open(path("odd.mp4"), 1));
        for (const QSize size : {QSize(18, 18), QSize(2, 2), QSize(3, 7), QSize(17, 17)}) {
            const QImage image = loop.next(size).image;
            QVERIFY(!image.isNull());
            QVERIFY(image.width() <= std::max(2, size.width()) && image.height() <= std::max(2, size.height()));
        }
    }
};

QTEST_GUILESS_MAIN(TestVideoLoop)
#include "tst_video_loop.moc"
