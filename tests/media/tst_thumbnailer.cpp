#include "clip_maker.h"
#include "heic_maker.h"
#include "media/thumbnailer.h"

#include <QFile>
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
