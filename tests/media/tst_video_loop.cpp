#include "media/video_loop.h"
#include "clip_maker.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Frames for a looping preview: their size, the loop, and images drawn into again only once
// nobody holds them.
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
