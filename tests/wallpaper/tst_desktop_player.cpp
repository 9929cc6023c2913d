#include "../media/clip_maker.h"
#include "cpu_time.h"
#include "xvfb_test_main.h"

#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/desktop_layer.h"
#include "platform/process_identity.h"
#include "platform/screen_areas.h"
#include "platform/screens.h"
#include "test_support.h"
#include "wallpaper/player/desktop_player.h"
#include "wallpaper/player/wallpaper_window.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


namespace {

XvfbServer server;

// Two displays side by side on the server's one screen, of different sizes.
const ScreenInfo mainScreen {1, QStringLiteral("11111111-1111-1111-1111-111111111111"), QStringLiteral("main")};
const ScreenInfo sideScreen {2, QStringLiteral("22222222-2222-2222-2222-222222222222"), QStringLiteral("side")};
const QRect mainArea(0, 0, 640, 400);
const QRect sideArea(640, 40, 480, 360);

} // namespace

// The desktop player on a real X server: a desktop-layer window per display covering it, videos
// playing and pausing, each display's own wallpaper, displays coming and going, broken files.
class TestDesktopPlayer : public QObject
{
    Q_OBJECT

    QTemporaryDir media;
    std::unique_ptr<TestHome> home;
    std::unique_ptr<LibraryStore> store;
    Wallpaper movingA, movingB, picture, broken;

    Wallpaper add(const QString& name, const QString& file)
    {
        Wallpaper item {QUuid::createUuid(), name, file};
        QFile::copy(media.filePath(file), store->locations().videos() + QLatin1Char('/') + file);
        store->addWallpaper(item, false);
        return item;
    }

    void setDisplays(const QList<std::pair<ScreenInfo, QRect>>& displays)
    {
        QList<ScreenInfo> screens;
        QHash<quint32, QRect> areas;
        for (const auto& [screen, area] : displays) {
            screens.append(screen);
            areas.insert(screen.displayID, area);
        }
        ScreenAreas::setOverride(areas);
        Screens::setOverride(screens);
    }

    // A patch in the middle of a display, as the server shows it.
    QByteArray patch(const QRect& area) { return server.pixelHash(QRect(area.center() - QPoint(40, 40), QSize(80, 80))); }

    bool changesOver(const QRect& area, int ms)
    {
        const QByteArray before = patch(area);
        return QTest::qWaitFor([&] { return patch(area) != before; }, ms);
    }

    std::unique_ptr<DesktopPlayer> play()
    {
        auto player = std::make_unique<DesktopPlayer>(*store, DesktopLayer::system());
        return player;
    }

private slots:
    void initTestCase()
    {
        if (!server.running())
            QSKIP("Xvfb is not installed");
        QVERIFY(DesktopLayer::system().available());
        // Moving test patterns (different ones), a still picture and a file that is no video.
        QVERIFY(ClipMaker::pattern(media.filePath("a.mp4"), "320x180", 30, 2));
        QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", "rgbtestsrc=size=160x120:rate=30:duration=2,hue=H=2*PI*t", "-c:v", "libx264",
                                   "-preset", "ultrafast", "-pix_fmt", "yuv420p"},
                                  media.filePath("b.mp4")));
        QImage red(300, 200, QImage::Format_RGB32);
        red.fill(QColor(255, 0, 0));
        QVERIFY(red.save(media.filePath("red.png")));
        QFile junk(media.filePath("broken.mp4"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        ProcessIdentity::set(Zentrove::bundleID());
        const LibraryLocations where {home->dataHome() + QStringLiteral("/Paneflow"), home->path() + QStringLiteral("/shipped")};
        QDir().mkpath(where.videos());
        QDir().mkpath(where.shippedWallpapers);
        store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), true, where, LibraryServices {});
        movingA = add(QStringLiteral("Moving A"), QStringLiteral("a.mp4"));
        movingB = add(QStringLiteral("Moving B"), QStringLiteral("b.mp4"));
        picture = add(QStringLiteral("Red"), QStringLiteral("red.png"));
        broken = add(QStringLiteral("Broken"), QStringLiteral("broken.mp4"));
        store->setCurrentID(movingA.id);
        setDisplays({{mainScreen, mainArea}, {sideScreen, sideArea}});
    }

    void cleanup()
    {
        store.reset();
        home.reset();
        Screens::setOverride(std::nullopt);
        ScreenAreas::setOverride(std::nullopt);
    }

    void coversEachDisplayOnTheDesktopLayer()
    {
        auto player = play();
        QCOMPARE(player->windows().size(), 2);
        // One file on both displays: one decoder.
        QCOMPARE(player->decoderCount(), 1);
        for (const auto& [id, area] : {std::pair {mainScreen.displayID, mainArea}, std::pair {sideScreen.displayID, sideArea}}) {
            const quintptr window = player->window(id)->winId();
            QTRY_VERIFY(server.placement(window).viewable);
            QCOMPARE(server.placement(window).rect, area);
            QVERIFY2(server.property(window, "_NET_WM_WINDOW_TYPE").endsWith("_NET_WM_WINDOW_TYPE_DESKTOP"),
                     qPrintable(server.property(window, "_NET_WM_WINDOW_TYPE")));
            const QString state = server.property(window, "_NET_WM_STATE");
            for (const char* wanted : {"_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"})
                QVERIFY2(state.contains(QLatin1String(wanted)), qPrintable(state));
            QVERIFY(server.property(window, "_NET_WM_DESKTOP").endsWith("4294967295"));
            // Never takes the focus.
            QVERIFY2(server.property(window, "WM_HINTS").contains("input or input focus: False"), qPrintable(server.property(window, "WM_HINTS")));
        }
        // Both show the video, each filling its own display's shape.
        QVERIFY(changesOver(mainArea, 3000));
        QVERIFY(changesOver(sideArea, 3000));
        QCOMPARE(player->window(mainScreen.displayID)->image().size(), mainArea.size());
        QCOMPARE(player->window(sideScreen.displayID)->image().size(), sideArea.size());
    }

    void pauseKeepsTheLastFrameAndStopsDecoding()
    {
        auto player = play();
        QVERIFY(changesOver(mainArea, 3000));
        const SharedVideoLoop* loop = player->decoder(player->pathOn(mainScreen.displayID).value());
        QVERIFY(loop);

        player->setPaused(true);
        QTest::qWait(200); // a frame already on its way may still land
        const QByteArray still = patch(mainArea);
        const qint64 decoded = loop->framesDecoded();
        const double cpuBefore = cpuSeconds();
        QTest::qWait(1000);
        const double pausedCpu = cpuSeconds() - cpuBefore;
        QCOMPARE(patch(mainArea), still);
        QCOMPARE(loop->framesDecoded(), decoded);
        QVERIFY2(pausedCpu < 0.05, qPrintable(QString::number(pausedCpu)));
        QVERIFY(!server.pixels(mainArea).isEmpty());

        // Resumed, it goes on from where it stood.
        player->setPaused(false);
        QVERIFY(changesOver(mainArea, 2000));
        QVERIFY(loop->framesDecoded() > decoded);
        QVERIFY(loop->framesDecoded() < decoded + 40);
    }

    void aCoveredDisplayStopsItsOwnVideo()
    {
        // Each display shows a video of its own.
        const Ensemble own = store->addEnsemble(movingB.id, QStringLiteral("Own"));
        store->setEnsemble(own.id, sideScreen);
        auto player = play();
        QCOMPARE(player->decoderCount(), 2);
        const SharedVideoLoop* mainLoop = player->decoder(store->mediaPath(movingA));
        const SharedVideoLoop* sideLoop = player->decoder(store->mediaPath(movingB));
        QVERIFY(mainLoop && sideLoop);
        QVERIFY(changesOver(sideArea, 3000));

        // An app goes full screen on the side display: its video stops, the main one plays on.
        player->setCovered({sideArea});
        QVERIFY(player->isCovered(sideScreen.displayID));
        QVERIFY(!player->isCovered(mainScreen.displayID));
        QTest::qWait(200); // a frame already on its way may still land
        const qint64 sideDecoded = sideLoop->framesDecoded();
        const qint64 mainDecoded = mainLoop->framesDecoded();
        const QByteArray sideStill = patch(sideArea);
        QTest::qWait(800);
        QCOMPARE(sideLoop->framesDecoded(), sideDecoded);
        QCOMPARE(patch(sideArea), sideStill);
        QTRY_VERIFY_WITH_TIMEOUT(mainLoop->framesDecoded() > mainDecoded + 5, 5000);
        QVERIFY(changesOver(mainArea, 2000));

        // The app leaves: the side video goes on from where it stood.
        player->setCovered({});
        QVERIFY(changesOver(sideArea, 2000));
        QVERIFY(sideLoop->framesDecoded() > sideDecoded);
        QVERIFY(sideLoop->framesDecoded() < sideDecoded + 40);

        // Both displays show one video: covering one keeps the shared decoder going for the other.
        store->setWallpaper(*store->ensemble(own.id), movingA.id);
        QTRY_COMPARE(player->decoderCount(), 1);
        player->setCovered({sideArea});
        QTest::qWait(200);
        const qint64 shared = mainLoop->framesDecoded();
        const QByteArray hidden = patch(sideArea);
        QVERIFY(changesOver(mainArea, 2000));
        QTRY_VERIFY_WITH_TIMEOUT(mainLoop->framesDecoded() > shared, 5000); // a loaded machine may lag
        QCOMPARE(patch(sideArea), hidden); // the covered window is not painted meanwhile
        // Both covered (a window over the whole desktop): it stops too.
        player->setCovered({QRect(0, 0, 1280, 480)});
        QTest::qWait(200);
        const qint64 stopped = mainLoop->framesDecoded();
        QTest::qWait(600);
        QCOMPARE(mainLoop->framesDecoded(), stopped);
    }

    void followsTheStoreAndTheDisplays()
    {
        auto player = play();
        QVERIFY(changesOver(sideArea, 3000));

        // The side display gets an ensemble of its own: it switches over on the next turn.
        const Ensemble own = store->addEnsemble(movingB.id, QStringLiteral("Own"));
        QElapsedTimer clock;
        clock.start();
        store->setEnsemble(own.id, sideScreen);
        QTRY_COMPARE_WITH_TIMEOUT(player->pathOn(sideScreen.displayID).value_or(QString()), store->mediaPath(movingB), 200);
        const qint64 shown = player->window(sideScreen.displayID)->shownCount();
        QTRY_VERIFY_WITH_TIMEOUT(player->window(sideScreen.displayID)->shownCount() > shown, 1000);
        qInfo("first frame of the new wallpaper after %lld ms", clock.elapsed());
        QCOMPARE(player->decoderCount(), 2);
        QCOMPARE(player->pathOn(mainScreen.displayID), store->mediaPath(movingA));
        QVERIFY(changesOver(sideArea, 2000));
        QVERIFY(patch(mainArea) != patch(sideArea));

        // A picture: shown still, filling the display; its decoder goes.
        store->setWallpaper(*store->ensemble(own.id), picture.id);
        QTRY_COMPARE_WITH_TIMEOUT(server.pixel(sideArea.center()), quint32(0xFF0000), 2000);
        QCOMPARE(server.pixel(sideArea.topLeft() + QPoint(2, 2)), quint32(0xFF0000));
        QCOMPARE(player->decoderCount(), 1);

        // A new current wallpaper reaches the main display (the side one keeps its own).
        store->setCurrentID(movingB.id);
        QTRY_COMPARE_WITH_TIMEOUT(player->pathOn(mainScreen.displayID).value_or(QString()), store->mediaPath(movingB), 200);
        QCOMPARE(server.pixel(sideArea.center()), quint32(0xFF0000));

        // The side display is unplugged: its window goes; plugged in again elsewhere, it comes back there.
        const quintptr sideWindow = player->window(sideScreen.displayID)->winId();
        setDisplays({{mainScreen, mainArea}});
        QTRY_COMPARE_WITH_TIMEOUT(player->windows().size(), 1, 200);
        QTRY_VERIFY(!server.placement(sideWindow).viewable);
        const QRect moved(640, 0, 400, 300);
        setDisplays({{mainScreen, mainArea}, {sideScreen, moved}});
        QTRY_COMPARE_WITH_TIMEOUT(player->windows().size(), 2, 200);
        QTRY_COMPARE(server.placement(player->window(sideScreen.displayID)->winId()).rect, moved);
        QTRY_COMPARE_WITH_TIMEOUT(server.pixel(moved.center()), quint32(0xFF0000), 2000);

        // The wallpaper is removed from the library: the side display falls back to the current one.
        store->remove(picture);
        QTRY_COMPARE_WITH_TIMEOUT(player->pathOn(sideScreen.displayID).value_or(QString()), store->mediaPath(movingB), 200);
        QVERIFY(changesOver(moved, 2000));
        QCOMPARE(player->decoderCount(), 1);
    }

    void brokenOrMissingFilesSayWhy()
    {
        auto player = play();
        QSignalSpy failures(player.get(), &DesktopPlayer::failureChanged);
        store->setCurrentID(broken.id);
        QTRY_COMPARE(player->failure(), std::optional<QString>(QStringLiteral("can't play “Broken”")));
        QCOMPARE(player->windows().size(), 2); // the windows stay (black, or the library's still)
        QCOMPARE(player->decoderCount(), 0);

        // The file vanishes from under a playing video.
        store->setCurrentID(movingA.id);
        QTRY_VERIFY(!player->failure());
        QVERIFY(QFile::remove(store->mediaPath(movingB)));
        store->setCurrentID(movingB.id);
        QTRY_COMPARE(player->failure(), std::optional<QString>(QStringLiteral("can't find “Moving B”")));
        QVERIFY(failures.count() >= 3);

        // Nothing current: no windows at all, the desktop's own wallpaper shows.
        store->setCurrentID(std::nullopt);
        QTRY_COMPARE(player->windows().size(), 0);
        QVERIFY(!player->failure());
    }

    void tinyAndOddSizesFill()
    {
        // A 2x2 video and displays of one pixel's height still make whole pictures.
        QVERIFY(ClipMaker::pattern(media.filePath("tiny.mp4"), "2x2", 10, 0.5,
                                   {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv444p"}));
        const Wallpaper tiny = add(QStringLiteral("Tiny"), QStringLiteral("tiny.mp4"));
        store->setCurrentID(tiny.id);
        setDisplays({{mainScreen, QRect(0, 0, 640, 1)}, {sideScreen, QRect(640, 0, 3, 400)}});
        auto player = play();
        QTRY_VERIFY(!player->window(mainScreen.displayID)->image().isNull());
        QTRY_VERIFY(!player->window(sideScreen.displayID)->image().isNull());
        QCOMPARE(player->window(mainScreen.displayID)->image().size(), QSize(640, 1));
        QCOMPARE(player->window(sideScreen.displayID)->image().size(), QSize(3, 400));
        QVERIFY(!player->failure());
    }
};

int main(int argc, char* argv[])
{
    return runOnXvfb<TestDesktopPlayer>(server, QSize(1280, 480), argc, argv);
}

#include "tst_desktop_player.moc"
