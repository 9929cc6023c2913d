#include "core/zentrove.h"
#include "fake_sensors.h"
#include "library/library_store.h"
#include "test_support.h"
#include "wallpaper/live_playback.h"
#include "wallpaper/performance_log.h"
#include "wallpaper/performance_recorder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The live-wallpaper part's playing state over a real library store and fake machine readings.
class TestLivePlayback : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakePower power;
    FakeMachine machine;
    FakeWindowList windows;
    QDateTime now;
    std::unique_ptr<LibraryStore> store;
    std::unique_ptr<PerformanceRecorder> recorder;
    std::unique_ptr<LivePlayback> playback;

    void make()
    {
        store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), true);
        recorder = std::make_unique<PerformanceRecorder>(PerformanceRecorder::Sensors {&power, &machine},
                                                         PerformanceLog::path(), [this] { return now; });
        playback = std::make_unique<LivePlayback>(*store, PauseRules::Sensors {&power, &machine, &windows}, *recorder,
                                                  [] { return QSet<quint32> {1}; });
    }

    void addWallpaper()
    {
        Wallpaper w;
        w.id = QUuid::createUuid();
        w.name = QStringLiteral("Dunes");
        w.fileName = QStringLiteral("Dunes.mov");
        store->addWallpaper(w);
    }

    static QStringList reasonsLogged()
    {
        QFile file(PerformanceLog::path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList reasons;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(1))
            reasons << line.section(QLatin1Char(','), 1, 2);
        return reasons;
    }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
        power.battery = false;
        windows.screens = {{1, QRectF(0, 0, 1920, 1080)}};
        windows.windows.clear();
    }

    void cleanup()
    {
        playback.reset();
        recorder.reset();
        store.reset();
        home.reset();
    }

    void statusFollowsTheRulesAndTheUser()
    {
        make();
        QVERIFY(!playback->isPlaying()); // nothing to play yet
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);
        addWallpaper();
        QVERIFY(playback->isPlaying());

        store->switches().set(LibrarySwitch::pauseOnBattery, true);
        power.setBattery(true);
        QVERIFY(!playback->isPlaying());
        QCOMPARE(store->switches().playbackStatus(), std::optional<QString>(QStringLiteral("Paused · on battery")));

        // The user's own pause is not a status of the part's.
        store->switches().set(LibrarySwitch::userPaused, true);
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);
        QCOMPARE(playback->reason(), std::optional<QString>(LivePlayback::pausedByYou()));
        QVERIFY(playback->rules().fullScreenDisplays().isEmpty());

        store->switches().set(LibrarySwitch::userPaused, false);
        power.setBattery(false);
        QVERIFY(playback->isPlaying());
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);

        // A full-screen app over every display the part plays on pauses it too (that rule is on
        // by default).
        windows.windows = {WindowInfo {4242, 0, 1.0, QRectF(0, 0, 1920, 1080)}};
        windows.activate();
        QVERIFY(!playback->isPlaying());
        QCOMPARE(store->switches().playbackStatus(), std::optional<QString>(QStringLiteral("Paused · an app is full screen")));
        store->switches().set(LibrarySwitch::pauseOnFullScreen, false);
        QVERIFY(playback->isPlaying());
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);
    }

    void aFileThatCannotPlayShowsUnderTheRules()
    {
        make();
        addWallpaper();
        QSignalSpy playing(playback.get(), &LivePlayback::playingChanged);
        playback->setFailure(QStringLiteral("can't play “Dunes”"));
        QCOMPARE(store->switches().playbackStatus(), std::optional<QString>(QStringLiteral("Paused · can't play “Dunes”")));
        QVERIFY(playing.isEmpty()); // the part still plays what it can

        // A rule's reason says more about why nothing moves; the user's pause says nothing.
        store->switches().set(LibrarySwitch::pauseOnBattery, true);
        power.setBattery(true);
        QCOMPARE(store->switches().playbackStatus(), std::optional<QString>(QStringLiteral("Paused · on battery")));
        QCOMPARE(playing.count(), 1);
        QCOMPARE(playing.last().first().toBool(), false);
        store->switches().set(LibrarySwitch::userPaused, true);
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);
        store->switches().set(LibrarySwitch::userPaused, false);
        power.setBattery(false);
        QCOMPARE(playing.count(), 2); // once paused (battery, user, battery), once playing again
        QCOMPARE(playing.last().first().toBool(), true);
        QCOMPARE(store->switches().playbackStatus(), std::optional<QString>(QStringLiteral("Paused · can't play “Dunes”")));

        playback->setFailure(std::nullopt);
        QCOMPARE(store->switches().playbackStatus(), std::nullopt);
    }

    void theLogSaysStartingUntilThePartFirstReports()
    {
        store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), true);
        addWallpaper();
        recorder = std::make_unique<PerformanceRecorder>(PerformanceRecorder::Sensors {&power, &machine},
                                                         PerformanceLog::path(), [this] { return now; });
        // Recording runs before the part knows whether it plays...
        recorder->start();
        now = now.addSecs(30);
        recorder->recordRow();
        now = now.addSecs(10);
        // ...and the part's first report closes that stretch as "starting", not as an empty reason.
        playback = std::make_unique<LivePlayback>(*store, PauseRules::Sensors {&power, &machine, &windows}, *recorder,
                                                  [] { return QSet<quint32> {1}; });
        QVERIFY(playback->isPlaying());
        now = now.addSecs(30);
        recorder->recordRow();
        QCOMPARE(reasonsLogged(), QStringList({QStringLiteral("paused,starting"), QStringLiteral("paused,starting"),
                                               QStringLiteral("playing,")}));
    }

    void recordsWhileSwitchedOn()
    {
        make();
        addWallpaper();
        QVERIFY(recorder->isRunning()); // on by default
        store->switches().set(LibrarySwitch::recordPerformance, false);
        QVERIFY(!recorder->isRunning());
        QFile::remove(PerformanceLog::path());
        store->switches().set(LibrarySwitch::recordPerformance, true);
        QVERIFY(recorder->isRunning());
        now = now.addSecs(30);
        recorder->recordRow();
        store->switches().set(LibrarySwitch::pauseOnBattery, true);
        now = now.addSecs(10);
        power.setBattery(true); // stops playing: the row closes the playing stretch
        now = now.addSecs(30);
        recorder->recordRow();
        QCOMPARE(reasonsLogged(), QStringList({QStringLiteral("playing,"), QStringLiteral("playing,"),
                                               QStringLiteral("paused,on battery")}));
        store->switches().set(LibrarySwitch::recordPerformance, false);
        QVERIFY(!recorder->isRunning());
    }
};

QTEST_GUILESS_MAIN(TestLivePlayback)
#include "tst_live_playback.moc"
