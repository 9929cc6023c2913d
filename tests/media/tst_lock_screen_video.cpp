#include "clip_maker.h"
#include "media/lock_screen_video.h"
#include "media/movie_looper.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace LockScreenVideo;

class TestLockScreenVideo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_sources;
    QString source(const QString& name) const { return m_sources.filePath(name); }
    static QStringList noisyH264()
    {
        // Noise keeps the encoder at its target rate, like camera footage would.
        return {QStringLiteral("-vf"), QStringLiteral("noise=alls=30:allf=t"), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                QStringLiteral("-preset"), QStringLiteral("ultrafast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sources.isValid());
        QVERIFY(ClipMaker::pattern(source("sixty.mp4"), "320x240", 60, 2));
        QVERIFY(ClipMaker::pattern(source("thirty.mp4"), "640x360", 30, 2, noisyH264()));
        // What a phone or an earlier conversion hands over: HEVC 1080p30 well under 10 Mbit/s,
        // BT.709, hvc1. One second keeps the suite quick.
        QVERIFY(ClipMaker::pattern(source("ready.mov"), "1920x1080", 30, 1,
                                   {"-c:v", "libx265", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-x265-params",
                                    "bframes=0:log-level=error", "-b:v", "6M", "-tag:v", "hvc1", "-color_primaries", "bt709",
                                    "-color_trc", "bt709", "-colorspace", "bt709"}));
        QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"}, source("audio.m4a")));
        QVERIFY(ClipMaker::ffmpeg({"-i", source("sixty.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90"}, source("turned.mp4")));
        QFile text(source("notes.mp4"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("these are not the frames you are looking for\n");
        text.close();
        QFile(source("empty.mov")).open(QIODevice::WriteOnly);
        QFile whole(source("thirty.mp4"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(source("cut.mp4"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(whole.size() / 2));
    }

    void cappedSize_data()
    {
        QTest::addColumn<QSize>("in");
        QTest::addColumn<QSize>("out");
        QTest::newRow("5K") << QSize(5120, 2880) << QSize(3840, 2160);
        QTest::newRow("square fits") << QSize(1000, 1000) << QSize(1000, 1000);
        QTest::newRow("exact limit") << QSize(3840, 2160) << QSize(3840, 2160);
        QTest::newRow("portrait 8K") << QSize(4320, 7680) << QSize(2160, 3840);
        QTest::newRow("empty") << QSize(0, 0) << QSize(0, 0);
    }
    void cappedSize()
    {
        QFETCH(QSize, in);
        QFETCH(QSize, out);
        QCOMPARE(LockScreenVideo::cappedSize(in), out);
    }

    void cappedSizeOfOddSquareIsEvenAndWithinLimit()
    {
        const QSize capped = LockScreenVideo::cappedSize(QSize(4097, 4097));
        QCOMPARE(capped.width() % 2, 0);
        QCOMPARE(capped.height() % 2, 0);
        QVERIFY(qint64(capped.width()) * capped.height() <= maxPixels);
        QVERIFY(capped.width() >= 2878); // not needlessly small
    }

    void bitRate_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qint64>("rate");
        QTest::newRow("720p floor") << QSize(1280, 720) << qint64(8'000'000);
        QTest::newRow("1080p") << QSize(1920, 1080) << qint64(10'000'000);
        QTest::newRow("2160p") << QSize(3840, 2160) << qint64(40'000'000);
        QTest::newRow("tiny floor") << QSize(2, 2) << qint64(8'000'000);
    }
    void bitRate()
    {
        QFETCH(QSize, size);
        QFETCH(qint64, rate);
        QCOMPARE(LockScreenVideo::bitRate(size), rate);
    }

    // The library form keeps every frame and is not looped; the lock-screen form drops to about
    // 30 fps and lasts an hour. Both are HEVC Main 10 in BT.709, tagged hvc1.
    void frameRatesAndFormat()
    {
        QTemporaryDir out;
        QList<double> progress;
        const auto record = [&](double p) { progress.append(p); };

        const QString library = out.filePath("library.mov");
        QVERIFY(shrink(source("sixty.mp4"), library, record).ok());
        const QJsonObject libraryStream = ClipMaker::videoStream(ClipMaker::probe(library));
        QCOMPARE(libraryStream.value("nb_frames").toString().toInt(), 120);
        QVERIFY(ClipMaker::probe(library).value("format").toObject().value("duration").toString().toDouble() < 3);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last(), 1.0);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));

        const QString lock = out.filePath("lock.mov");
        QVERIFY(makeLockScreenCopy(source("sixty.mp4"), lock, {}).ok());
        const QJsonObject probed = ClipMaker::probe(lock);
        const QJsonObject stream = ClipMaker::videoStream(probed);
        QCOMPARE(probed.value("streams").toArray().size(), 1);
        QVERIFY(qAbs(stream.value("nb_frames").toString().toInt() - 60) <= 1);
        QVERIFY(probed.value("format").toObject().value("duration").toString().toDouble() >= 3600);
        QCOMPARE(stream.value("codec_name").toString(), QString("hevc"));
        QCOMPARE(stream.value("profile").toString(), QString("Main 10"));
        QCOMPARE(stream.value("pix_fmt").toString(), QString("yuv420p10le"));
        QCOMPARE(stream.value("codec_tag_string").toString(), QString("hvc1"));
        QCOMPARE(stream.value("color_primaries").toString(), QString("bt709"));
        QCOMPARE(stream.value("color_transfer").toString(), QString("bt709"));
        QCOMPARE(stream.value("color_space").toString(), QString("bt709"));
        QCOMPARE(ClipMaker::filesIn(out.path()), QStringList({"library.mov", "lock.mov"}));
    }

    // The hour-long movie stores the clip once and plays the same frames again and again.
    void loopStoresFramesOnce()
    {
        QTemporaryDir out;
        const QString converted = out.filePath("clip.mov");
        QVERIFY(shrink(source("thirty.mp4"), converted, {}).ok());
        const QString looped = out.filePath("clip-lockscreen-v1.mov");
        QCOMPARE(MovieLooper::loopIntoPlace(converted, looped), std::nullopt);

        const QJsonObject probed = ClipMaker::probe(looped);
        QVERIFY(probed.value("format").toObject().value("duration").toString().toDouble() >= 3600);
        QVERIFY(QFileInfo(looped).size() <= QFileInfo(converted).size() * 102 / 100);
        QCOMPARE(ClipMaker::countPackets(looped), qint64(60 * 1800));
        const QString first = ClipMaker::frameHash(looped, 0);
        QVERIFY(!first.isEmpty());
        QCOMPARE(ClipMaker::frameHash(looped, 2.0), first);
        QCOMPARE(ClipMaker::frameHash(looped, 3000.0), first);
        QVERIFY(ClipMaker::frameHash(looped, 1.0) != first);
        QCOMPARE(ClipMaker::filesIn(out.path()), QStringList({"clip-lockscreen-v1.mov", "clip.mov"}));
    }

    void readyClipIsOnlyLooped()
    {
        const QJsonObject probed = ClipMaker::probe(source("ready.mov"));
        const QJsonObject ready = ClipMaker::videoStream(probed);
        QCOMPARE(ready.value("codec_name").toString(), QString("hevc"));
        QCOMPARE(ready.value("width").toInt(), 1920);
        QCOMPARE(ready.value("height").toInt(), 1080);
        QCOMPARE(ready.value("r_frame_rate").toString(), QString("30/1"));
        QVERIFY(probed.value("format").toObject().value("bit_rate").toString().toLongLong() < 10'000'000);
        QVERIFY(fitsAsIs(source("ready.mov")));
        QVERIFY(!fitsAsIs(source("sixty.mp4")));  // H.264
        QVERIFY(!fitsAsIs(source("turned.mp4"))); // rotated

        QTemporaryDir out;
        QList<double> progress;
        const Outcome outcome = makeLockScreenCopy(source("ready.mov"), out.filePath("ready.mov"), [&](double p) { progress.append(p); });
        QVERIFY(outcome.ok());
        QVERIFY(outcome.skippedEncoding);
        QCOMPARE(progress, QList<double>({0.5, 1.0}));
        // Not re-encoded: the same codec setup and the same packets, stored once, played 3600 times.
        const QStringList stored = ClipMaker::storedPackets(source("ready.mov"));
        QCOMPARE(stored.size(), 31); // codec setup + 30 frames
        QCOMPARE(ClipMaker::storedPackets(out.filePath("ready.mov")), stored);
        QCOMPARE(ClipMaker::videoStream(ClipMaker::probe(out.filePath("ready.mov"))).value("profile").toString(), QString("Main"));
        QCOMPARE(ClipMaker::countPackets(out.filePath("ready.mov")), qint64(30 * 3600));
        QCOMPARE(ClipMaker::filesIn(out.path()), QStringList({"ready.mov"}));
    }

    void rotationIsKept()
    {
        QTemporaryDir out;
        QVERIFY(shrink(source("turned.mp4"), out.filePath("turned.mov"), {}).ok());
        const QJsonObject stream = ClipMaker::videoStream(ClipMaker::probe(out.filePath("turned.mov")));
        const QJsonArray sideData = stream.value("side_data_list").toArray();
        QVERIFY(!sideData.isEmpty());
        QCOMPARE(qAbs(sideData.first().toObject().value("rotation").toInt()), 90);
        QCOMPARE(stream.value("width").toInt(), 320); // frames stay as stored; the track turns them
    }

    void badInputFailsWithoutLeftovers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("audio only") << "audio.m4a" << "the file has no video track";
        QTest::newRow("text") << "notes.mp4" << QString();
        QTest::newRow("empty") << "empty.mov" << QString();
        QTest::newRow("truncated") << "cut.mp4" << QString();
        QTest::newRow("missing") << "nothing-here.mov" << QString();
    }
    void badInputFailsWithoutLeftovers()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir out;
        const QString destination = out.filePath("kept.mov");
        QFile old(destination);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous copy");
        old.close();

        const Outcome outcome = makeLockScreenCopy(source(name), destination, {});
        QCOMPARE(outcome.status, Outcome::Status::failed);
        QVERIFY(!outcome.message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(outcome.message, message);
            QCOMPARE(outcome.description(), "Couldn't convert the video for the lock screen: " + message);
        }
        QCOMPARE(ClipMaker::filesIn(out.path()), QStringList{"kept.mov"});
        QCOMPARE(QFileInfo(destination).size(), qint64(13));
    }

    void cancellingLeavesNothing()
    {
        QTemporaryDir out;
        auto flag = std::make_shared<CancelFlag>();
        int calls = 0;
        const Outcome outcome = makeLockScreenCopy(source("thirty.mp4"), out.filePath("x.mov"), [&](double) {
            if (++calls == 2)
                flag->cancel();
        }, flag);
        QVERIFY(outcome.cancelled());
        QCOMPARE(calls, 2);
        QVERIFY(ClipMaker::filesIn(out.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLockScreenVideo)
#include "tst_lock_screen_video.moc"
