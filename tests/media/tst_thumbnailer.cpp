#include "clip_maker.h"
#include "heic_maker.h"
#include "media/cancel_flag.h"
#include "media/thumbnailer.h"
#include "media/video_facts.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestThumbnailer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static int pngBitDepth(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray head = f.read(25);
        return head.size() == 25 ? int(uchar(head[24])) : -1;
    }
    static bool isRed(QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // A landscape frame with a red block in its top-left corner, stored with a quarter turn.
        QImage marked(1280, 720, QImage::Format_RGB32);
        marked.fill(Qt::darkGray);
        QPainter(&marked).fillRect(0, 0, 200, 200, Qt::red);
        QVERIFY(marked.save(path("marked.png")));
        QVERIFY(ClipMaker::ffmpeg({"-loop", "1", "-i", path("marked.png"), "-t", "0.5", "-r", "10", "-c:v", "libx264",
                                   "-preset", "ultrafast", "-pix_fmt", "yuv420p"},
                                  path("landscape.mp4")));
        QVERIFY(ClipMaker::ffmpeg({"-i", path("landscape.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90"}, path("portrait.mp4")));
        QVERIFY(ClipMaker::pattern(path("deep.mov"), "640x360", 10, 0.5,
                                   {"-c:v", "libx265", "-preset", "ultrafast", "-pix_fmt", "yuv420p10le", "-x265-params", "log-level=error"}));
    }

    void portraitVideoComesOutUpright()
    {
        const QString png = path("portrait.png");
        QVERIFY(Thumbnailer::writeVideo(path("portrait.mp4"), png).ok);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(576, 1024));
        // The track turns the frame a quarter counter-clockwise (ffmpeg's player shows the red
        // corner bottom-left too); only that corner is red.
        QVERIFY(isRed(image.pixelColor(20, image.height() - 20)));
        QVERIFY(!isRed(image.pixelColor(20, 20)));
        QVERIFY(!isRed(image.pixelColor(image.width() - 20, 20)));
        QVERIFY(!isRed(image.pixelColor(image.width() - 20, image.height() - 20)));
    }

    void tenBitVideoGivesEightBitPng()
    {
        const QString png = path("deep.png");
        QVERIFY(Thumbnailer::writeVideo(path("deep.mov"), png, 200).ok);
        QCOMPARE(QImage(png).size(), QSize(200, 113));
        QCOMPARE(pngBitDepth(png), 8);
    }

    // Videos a few pixels across, as they are and scaled: the scaler's vector code writes whole
    // blocks of pixels, so short rows are where an output buffer without room to spare is overrun.
    void tinyVideos_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("2x2") << QSize(2, 2) << 1024 << QSize(2, 2);
        QTest::newRow("4x4") << QSize(4, 4) << 1024 << QSize(4, 4);
        QTest::newRow("12x12") << QSize(12, 12) << 1024 << QSize(12, 12);
        QTest::newRow("2x64") << QSize(2, 64) << 1024 << QSize(2, 64);
        QTest::newRow("24x8") << QSize(24, 8) << 1024 << QSize(24, 8);
        QTest::newRow("2x64 to 1x32") << QSize(2, 64) << 32 << QSize(1, 32);
        QTest::newRow("12x12 to 3x3") << QSize(12, 12) << 3 << QSize(3, 3);
    }
    void tinyVideos()
    {
        QFETCH(QSize, size);
        QFETCH(int, maxWidth);
        QFETCH(QSize, expected);
        const QString clip = path(QStringLiteral("red-%1x%2.mp4").arg(size.width()).arg(size.height()));
        if (!QFileInfo::exists(clip))
            QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", QStringLiteral("color=c=red:size=%1x%2:rate=10:duration=0.3").arg(size.width()).arg(size.height()),
                                       "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"},
                                      clip));
        const QString png = path(QStringLiteral("red-%1x%2-%3.png").arg(size.width()).arg(size.height()).arg(maxWidth));
        // Many times over: a write past the end of a buffer shows as heap damage only sooner or later.
        for (int i = 0; i < 20; ++i) {
            const auto made = Thumbnailer::writeVideo(clip, png, maxWidth);
            QVERIFY2(made.ok, qPrintable(made.error));
        }
        const QImage image(png);
        QCOMPARE(image.size(), expected);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY2(isRed(image.pixelColor(x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }

    void cancelledReadsMakeNoThumbnail()
    {
        const auto cancel = std::make_shared<CancelFlag>();
        cancel->cancel();
        QTemporaryDir out;
        const auto made = Thumbnailer::writeVideo(path("landscape.mp4"), out.filePath("never.png"), 64, cancel.get());
        QVERIFY(!made.ok);
        QVERIFY(ClipMaker::filesIn(out.path()).isEmpty());
        QVERIFY(!VideoFacts::read(path("landscape.mp4"), nullptr, cancel.get()));
        // The same reads without the flag work.
        QVERIFY(VideoFacts::read(path("landscape.mp4")));
    }

    void pictures()
    {
        // A PNG that calls itself a JPEG is still read.
        QImage big(3000, 1500, QImage::Format_RGB32);
        big.fill(Qt::blue);
        QVERIFY(big.save(path("liar.jpg"), "PNG"));
        QVERIFY(Thumbnailer::writePicture(path("liar.jpg"), path("liar.png")).ok);
        QCOMPARE(QImage(path("liar.png")).size(), QSize(1024, 512));

        QVERIFY(makeHeic(path("photo.heic"), {Qt::green}, {}, 128));
        QVERIFY(Thumbnailer::writePicture(path("photo.heic"), path("photo.png"), 64).ok);
        QCOMPARE(QImage(path("photo.png")).size(), QSize(64, 64));

        // Small pictures are not blown up.
        QCOMPARE(Thumbnailer::image(path("photo.heic"), 1024)->size(), QSize(128, 128));
    }

    void failuresLeaveNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("video");
        QTest::newRow("0-byte HEIC") << "zero.heic" << false;
        QTest::newRow("text as PNG") << "words.png" << false;
        QTest::newRow("text as video") << "words.mp4" << true;
        QTest::newRow("missing video") << "gone.mov" << true;
    }
    void failuresLeaveNoFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, video);
        QFile input(path(name));
        if (!name.startsWith("gone")) {
            QVERIFY(input.open(QIODevice::WriteOnly));
            if (name.startsWith("words"))
                input.write("plain words, no pixels");
            input.close();
        }
        QTemporaryDir out;
        const QString fresh = out.filePath("fresh.png");
        const auto result = video ? Thumbnailer::writeVideo(path(name), fresh) : Thumbnailer::writePicture(path(name), fresh);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(ClipMaker::filesIn(out.path()).isEmpty());

        // An older thumbnail survives a failed remake untouched.
        QImage old(8, 8, QImage::Format_RGB32);
        old.fill(Qt::yellow);
        QVERIFY(old.save(fresh));
        const QByteArray before = [&] { QFile f(fresh); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY(!(video ? Thumbnailer::writeVideo(path(name), fresh) : Thumbnailer::writePicture(path(name), fresh)).ok);
        QFile after(fresh);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QCOMPARE(ClipMaker::filesIn(out.path()), QStringList{"fresh.png"});
    }
};

QTEST_GUILESS_MAIN(TestThumbnailer)
#include "tst_thumbnailer.moc"
