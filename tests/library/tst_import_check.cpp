#include "clip_maker.h"
#include "library/import/import_check.h"
#include "media/image_info.h"
#include "media/media_kind.h"
#include "media/video_info.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

VideoFacts video(QSize size, double seconds, qint64 rate)
{
    VideoFacts facts;
    facts.naturalSize = size;
    facts.displaySize = size;
    facts.duration = seconds;
    facts.dataRate = rate;
    return facts;
}

ImportCheck::Facts facts(std::optional<qint64> bytes, std::optional<VideoFacts> v, std::optional<qint64> free)
{
    return {[=] { return bytes; }, [=] { return v; }, [=] { return free; }};
}

const QSize uhd(3840, 2160);
const QSize hd(1920, 1080);
constexpr qint64 plenty = qint64(1) << 50;

} // namespace

class TestImportCheck : public QObject
{
    Q_OBJECT

private slots:
    void limits_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("rate");
        QTest::addColumn<ImportCheck>("expected");
        const ImportCheck copy = ImportCheck::accepted(false);
        const ImportCheck shrink = ImportCheck::accepted(true);
        QTest::newRow("4 GB passes") << qint64(4'000'000'000) << hd << 60.0 << qint64(10'000'000) << copy;
        QTest::newRow("4 GB + 1 byte") << qint64(4'000'000'001) << hd << 60.0 << qint64(10'000'000)
                                       << ImportCheck::refused("Too large (over 4 GB). Try a shorter clip.");
        QTest::newRow("600 s passes") << qint64(1000) << hd << 600.0 << qint64(10'000'000) << copy;
        QTest::newRow("600.1 s") << qint64(1000) << hd << 600.1 << qint64(10'000'000)
                                 << ImportCheck::refused("Too long (over 10 minutes). Try a shorter clip.");
        QTest::newRow("2160p at 20 Mbit/s is copied") << qint64(1000) << uhd << 10.0 << qint64(20'000'000) << copy;
        QTest::newRow("2160p at 80 Mbit/s is shrunk") << qint64(1000) << uhd << 10.0 << qint64(80'000'000) << shrink;
        QTest::newRow("60 Mbit/s is not over") << qint64(1000) << hd << 10.0 << qint64(60'000'000) << copy;
        QTest::newRow("1% over the pixels is tolerated") << qint64(1000) << QSize(3870, 2160) << 10.0 << qint64(1) << copy;
        QTest::newRow("more is shrunk") << qint64(1000) << QSize(3880, 2160) << 10.0 << qint64(1) << shrink;
        QTest::newRow("no duration") << qint64(1000) << hd << 0.0 << qint64(1) << ImportCheck::refused("Couldn't read this video");
    }
    void limits()
    {
        QFETCH(qint64, bytes);
        QFETCH(QSize, size);
        QFETCH(double, seconds);
        QFETCH(qint64, rate);
        QFETCH(ImportCheck, expected);
        QCOMPARE(ImportCheck::evaluate(facts(bytes, video(size, seconds, rate), plenty)), expected);
    }

    void diskSpace()
    {
        // 100 s of 1080p: a 10 Mbit/s lock-screen copy of 125 MB, plus the 200 MB margin.
        const qint64 source = 300'000'000;
        const qint64 needed = source + 125'000'000 + 200'000'000;
        const VideoFacts clip = video(hd, 100, 12'000'000);
        QCOMPARE(ImportCheck::evaluate(facts(source, clip, needed)), ImportCheck::accepted(false));
        QCOMPARE(ImportCheck::evaluate(facts(source, clip, needed - 1)),
                 ImportCheck::refused("Not enough disk space (needs about 625.0 MB)"));
        QCOMPARE(ImportCheck::evaluate(facts(source, clip, std::nullopt)), ImportCheck::accepted(false));
        // Shrinking counts the re-encoded copy instead of the source: 2 x 500 MB + 200 MB.
        const VideoFacts big = video(uhd, 100, 90'000'000);
        QCOMPARE(ImportCheck::evaluate(facts(3'000'000'000, big, 1'199'999'999)).message,
                 QString("Not enough disk space (needs about 1.2 GB)"));
        QVERIFY(ImportCheck::evaluate(facts(3'000'000'000, big, 1'200'000'000)).ok);
    }

    void factsAreReadOnlyWhenNeeded()
    {
        int videoReads = 0, spaceReads = 0;
        ImportCheck::Facts counted{[] { return std::optional<qint64>(5'000'000'000); },
                                   [&] { ++videoReads; return std::optional(video(hd, 1, 1)); },
                                   [&] { ++spaceReads; return std::optional<qint64>(0); }};
        QVERIFY(!ImportCheck::evaluate(counted).ok);
        QCOMPARE(videoReads + spaceReads, 0);
    }

    void realFiles()
    {
        QTemporaryDir dir;
        QFile text(dir.filePath("notes.mp4"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("hello");
        text.close();
        QFile(dir.filePath("empty.mp4")).open(QIODevice::WriteOnly);
        QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"}, dir.filePath("sound.m4a")));
        QVERIFY(ClipMaker::pattern(dir.filePath("clip.mp4"), "320x240", 30, 1));
        const QString unreadable = "Couldn't read this video";
        for (const char* name : {"notes.mp4", "empty.mp4", "sound.m4a", "missing.mp4"})
            QCOMPARE(ImportCheck::run(dir.filePath(name), dir.filePath("Videos")).message, unreadable);
        QCOMPARE(ImportCheck::run(dir.filePath("clip.mp4"), dir.filePath("Videos/not/yet/made")), ImportCheck::accepted(false));
        QVERIFY(ImportCheck::freeBytesAt(dir.filePath("no/such/folder")).value_or(0) > 0);
    }

    void videoInfoTexts_data()
    {
        QTest::addColumn<std::optional<double>>("duration");
        QTest::addColumn<QString>("text");
        QTest::newRow("59.94 s") << std::optional(59.94) << "59.9 s";
        QTest::newRow("75 s") << std::optional(75.0) << "1:15";
        QTest::newRow("600 s") << std::optional(600.0) << "10:00";
        QTest::newRow("picture") << std::optional<double>() << QString();
    }
    void videoInfoTexts()
    {
        QFETCH(std::optional<double>, duration);
        QFETCH(QString, text);
        VideoInfo info{QSize(1920, 1080), duration, 12'345'678};
        QCOMPARE(info.durationText().value_or(QString()), text);
        QCOMPARE(info.resolutionText(), QString("1920x1080"));
        QCOMPARE(info.sizeText(), QString("12.3 MB"));
    }

    void videoInfoReadsCachesAndForgets()
    {
        QTemporaryDir dir;
        const QString clip = dir.filePath("clip.mp4");
        QVERIFY(ClipMaker::pattern(dir.filePath("turned.mp4"), "320x240", 10, 1.5));
        QVERIFY(ClipMaker::ffmpeg({"-i", dir.filePath("turned.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=270"}, clip));
        const auto info = VideoInfo::load(clip);
        QVERIFY(info);
        QCOMPARE(info->size, QSize(240, 320));
        QVERIFY(qAbs(*info->duration - 1.5) < 0.05);
        QCOMPARE(info->bytes, QFileInfo(clip).size());

        // Replaced by a picture under the same name: the cache answers until told to forget.
        QImage picture(50, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(QFile::remove(clip));
        QVERIFY(picture.save(clip, "PNG"));
        QCOMPARE(VideoInfo::load(clip), info);
        VideoInfo::forget(clip);
        QCOMPARE(VideoInfo::load(clip)->size, QSize(50, 40));
        QVERIFY(picture.save(dir.filePath("still.jpeg"), "PNG"));
        const auto still = VideoInfo::load(dir.filePath("still.jpeg"));
        QVERIFY(still);
        QCOMPARE(still->size, QSize(50, 40));
        QVERIFY(!still->duration);
    }

    void kindsAndPictureSizes()
    {
        QVERIFY(MediaKind::isVideo("a/Clip.MP4"));
        QVERIFY(MediaKind::isVideo("b.mov"));
        QVERIFY(MediaKind::isImage("c.HEIC"));
        QVERIFY(MediaKind::isImage("d.jpg"));
        QVERIFY(!MediaKind::isWallpaperFile("notes.txt"));
        QVERIFY(!MediaKind::isWallpaperFile("mov"));

        QTemporaryDir dir;
        QFile text(dir.filePath("words.png"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();
        QVERIFY(!ImageInfo::size(dir.filePath("words.png")));
        QVERIFY(!ImageInfo::size(dir.filePath("absent.png")));
    }
};

QTEST_GUILESS_MAIN(TestImportCheck)
#include "tst_import_check.moc"
