#include "fake_sensors.h"
#include "wallpaper/pause_rules.h"

#include <QCoreApplication>
#include <QTest>

class TestPauseRules : public QObject
{
    Q_OBJECT

    FakePower power;
    FakeMachine machine;
    FakeWindowList windows;
    FakePauseSettings settings;
    int changes = 0;

    std::unique_ptr<PauseRules> makeRules()
    {
        changes = 0;
        return std::make_unique<PauseRules>(settings, PauseRules::Sensors {&power, &machine, &windows}, [this] { ++changes; });
    }

    static WindowInfo window(QRectF bounds, qint64 pid = 4242, int layer = 0, double alpha = 1.0)
    {
        return WindowInfo {pid, layer, alpha, bounds};
    }

private slots:
    void init()
    {
        power.battery = power.lowPower = false;
        machine.ticks = CpuTicks {};
        machine.thermal = ThermalState::nominal;
        machine.tickReads = 0;
        windows.windows.clear();
        windows.screens = {{1, QRectF(0, 0, 1920, 1080)}, {2, QRectF(1920, 0, 2560, 1440)}};
        settings.battery = settings.lowPower = settings.fullScreen = settings.highCPU = settings.thermal = false;
    }

    void busyNeedsTwoHighSamplesAndClearsBelowSixty_data()
    {
        QTest::addColumn<QList<double>>("loads");
        QTest::addColumn<QList<bool>>("busy");
        QTest::addColumn<int>("changes");
        QTest::newRow("set at the second high sample, kept at 0.65, cleared at 0.55")
            << QList<double> {0.85, 0.9, 0.65, 0.55} << QList<bool> {false, true, true, false} << 2;
        QTest::newRow("a single spike never sets it") << QList<double> {0.95, 0.5, 0.95, 0.5}
                                                      << QList<bool> {false, false, false, false} << 0;
        QTest::newRow("0.8 counts as high, 0.6 still busy, 0.59 calm")
            << QList<double> {0.8, 0.8, 0.6, 0.59} << QList<bool> {false, true, true, false} << 2;
        QTest::newRow("a low sample restarts the count") << QList<double> {0.9, 0.79, 0.9, 0.9}
                                                         << QList<bool> {false, false, false, true} << 1;
    }

    void busyNeedsTwoHighSamplesAndClearsBelowSixty()
    {
        QFETCH(QList<double>, loads);
        QFETCH(QList<bool>, busy);
        QFETCH(int, changes);
        settings.highCPU = true;
        auto rules = makeRules();
        QVERIFY(rules->isPolling());
        for (qsizetype i = 0; i < loads.size(); ++i) {
            machine.advance(loads[i]);
            rules->poll();
            QCOMPARE(rules->isBusy(), busy[i]);
            QCOMPARE(rules->pauseReason(), busy[i] ? std::optional<QString>(QStringLiteral("Computer is busy")) : std::nullopt);
        }
        QCOMPARE(this->changes, changes);
    }

    void firstPollAfterStartOrIdleOnlyRecordsTicks()
    {
        settings.highCPU = true;
        machine.advance(0.99);
        auto rules = makeRules(); // polls once: nothing to compare with yet
        QCOMPARE(machine.tickReads, 1);
        machine.advance(0.99);
        rules->poll();
        QVERIFY(!rules->isBusy()); // one sample so far

        rules->setIdle(true);
        machine.advance(0.99);
        rules->poll();
        QCOMPARE(machine.tickReads, 2); // idle: not even read
        rules->setIdle(false);
        QCoreApplication::processEvents(); // the poll queued on leaving idle records the ticks only
        QCOMPARE(machine.tickReads, 3);
        machine.advance(0.99);
        rules->poll();
        QVERIFY(!rules->isBusy()); // the count started over
        machine.advance(0.99);
        rules->poll();
        QVERIFY(rules->isBusy());
    }

    void cpuLoadWrapsAndSkipsWhatItCannotRead()
    {
        const CpuTicks before {0xFFFFFF00u, 10, 0xFFFFFFF0u, 0};
        const CpuTicks after {0x100u, 10, 0x10u, 0}; // user and idle rolled over
        const auto load = PauseRules::loadBetween(before, after);
        QVERIFY(load);
        QCOMPARE(*load, 512.0 / (512.0 + 32.0));
        QVERIFY(!PauseRules::loadBetween(after, after)); // no ticks passed

        std::optional<CpuTicks> last;
        machine.ticks = before;
        QVERIFY(!PauseRules::cpuLoad(machine, last));
        QCOMPARE(last, std::optional<CpuTicks>(before));
        machine.ticks.reset();
        QVERIFY(!PauseRules::cpuLoad(machine, last));
        QCOMPARE(last, std::optional<CpuTicks>(before)); // a failed read keeps the previous counts
        machine.ticks = after;
        QCOMPARE(PauseRules::cpuLoad(machine, last), load);
    }

    void fullScreenWindows_data()
    {
        QTest::addColumn<QList<WindowInfo>>("list");
        QTest::addColumn<QList<quint32>>("covered");
        const QRectF first(0, 0, 1920, 1080);
        const qint64 own = QCoreApplication::applicationPid();
        QTest::newRow("borderless window exactly the display") << QList<WindowInfo> {window(first)} << QList<quint32> {1};
        QTest::newRow("one point short on every side") << QList<WindowInfo> {window(first.adjusted(1, 1, -1, -1))}
                                                       << QList<quint32> {1};
        QTest::newRow("two points short") << QList<WindowInfo> {window(first.adjusted(2, 0, 0, 0))} << QList<quint32> {};
        QTest::newRow("our own window") << QList<WindowInfo> {window(first, own)} << QList<quint32> {};
        QTest::newRow("transparent window") << QList<WindowInfo> {window(first, 4242, 0, 0.01)} << QList<quint32> {};
        QTest::newRow("nearly transparent still counts") << QList<WindowInfo> {window(first, 4242, 0, 0.02)}
                                                         << QList<quint32> {1};
        QTest::newRow("floating layer") << QList<WindowInfo> {window(first, 4242, WindowLayer::floating)}
                                        << QList<quint32> {};
        QTest::newRow("no bounds") << QList<WindowInfo> {WindowInfo {4242, 0, 1.0, std::nullopt}} << QList<quint32> {};
        QTest::newRow("second display only") << QList<WindowInfo> {window(QRectF(1920, 0, 2560, 1440))}
                                             << QList<quint32> {2};
        QTest::newRow("one window over both") << QList<WindowInfo> {window(QRectF(0, 0, 4480, 1440))}
                                              << QList<quint32> {1, 2};
    }

    void fullScreenWindows()
    {
        QFETCH(QList<WindowInfo>, list);
        QFETCH(QList<quint32>, covered);
        settings.fullScreen = true;
        windows.windows = list;
        auto rules = makeRules();
        const QSet<quint32> expected(covered.cbegin(), covered.cend());
        QCOMPARE(rules->fullScreenDisplays(), expected);
        QCOMPARE(changes, expected.isEmpty() ? 0 : 1);
        // Asking about both displays is true only when both are covered.
        QCOMPARE(rules->fullScreen({1, 2}), expected == QSet<quint32>({1, 2}));
        QCOMPARE(rules->fullScreen({1}), expected.contains(1));
        QVERIFY(!rules->fullScreen({}));
    }

    void fullScreenFollowsActivationAndItsSwitch()
    {
        settings.fullScreen = true;
        auto rules = makeRules();
        QVERIFY(!rules->fullScreen({1}));
        windows.windows = {window(QRectF(0, 0, 1920, 1080))};
        windows.activate(); // an app came forward: look again at once
        QVERIFY(rules->fullScreen({1}));
        QCOMPARE(changes, 1);
        windows.activate(); // nothing new: no call
        QCOMPARE(changes, 1);
        QCOMPARE(rules->coveredAreas(), QList<QRect>({QRect(0, 0, 1920, 1080)}));
        // The app moves to the second display: the player learns where the covered one is.
        windows.windows = {window(QRectF(1920, 0, 2560, 1440))};
        windows.activate();
        QCOMPARE(changes, 2);
        QVERIFY(!rules->fullScreen({1}));
        QCOMPARE(rules->coveredAreas(), QList<QRect>({QRect(1920, 0, 2560, 1440)}));
        settings.setFullScreen(false);
        QVERIFY(!rules->fullScreen({1}));
        QVERIFY(rules->fullScreenDisplays().isEmpty());
        QVERIFY(rules->coveredAreas().isEmpty());
        QVERIFY(!rules->isPolling());
        QCOMPARE(changes, 3);
    }

    void turningBothPolledRulesOffClearsEverything()
    {
        settings.fullScreen = settings.highCPU = true;
        windows.windows = {window(QRectF(0, 0, 1920, 1080))};
        auto rules = makeRules();
        for (int i = 0; i < 2; ++i) {
            machine.advance(0.95);
            rules->poll();
        }
        QVERIFY(rules->isBusy());
        QCOMPARE(rules->fullScreenDisplays(), QSet<quint32>({1}));
        const int before = changes;
        settings.setFullScreen(false);
        settings.setHighCPU(false);
        QVERIFY(!rules->isPolling());
        QVERIFY(!rules->isBusy());
        QVERIFY(rules->fullScreenDisplays().isEmpty());
        QVERIFY(changes > before);
        const int after = changes;
        settings.setHighCPU(true); // polls once: ticks recorded, nothing more
        QVERIFY(rules->isPolling());
        QVERIFY(!rules->isBusy());
        QCOMPARE(changes, after);
    }

    void switchingOffTheLoadRuleAloneResumes()
    {
        // With the full-screen rule still on the timer keeps running, but the busy finding
        // must go, and the part must hear of it.
        settings.fullScreen = settings.highCPU = true;
        auto rules = makeRules();
        for (int i = 0; i < 2; ++i) {
            machine.advance(0.95);
            rules->poll();
        }
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("Computer is busy")));
        const int before = changes;
        settings.setHighCPU(false);
        QVERIFY(rules->isPolling());
        QVERIFY(!rules->isBusy());
        QCOMPARE(changes, before + 1);
        // On again: one high sample is not enough.
        settings.setHighCPU(true);
        machine.advance(0.95);
        rules->poll();
        QVERIFY(!rules->isBusy());
    }

    void reasonsComeInOrder()
    {
        settings.battery = settings.lowPower = settings.thermal = settings.highCPU = true;
        power.battery = power.lowPower = true;
        machine.thermal = ThermalState::critical;
        auto rules = makeRules();
        for (int i = 0; i < 2; ++i) {
            machine.advance(0.9);
            rules->poll();
        }
        QCOMPARE(changes, 1); // became busy
        changes = 0;
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("on battery")));
        settings.setBattery(false);
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("Low Power Mode")));
        settings.setLowPower(false);
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("Computer is hot")));
        machine.thermal = ThermalState::fair; // fair is not hot
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("Computer is busy")));
        machine.thermal = ThermalState::serious;
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("Computer is hot")));
        QCOMPARE(changes, 2); // each switch change called back
        settings.setThermal(false);
        settings.setHighCPU(false);
        QCOMPARE(rules->pauseReason(), std::nullopt); // every rule off: whatever the machine does
    }

    void machineChangesCallBack()
    {
        settings.battery = true;
        auto rules = makeRules();
        QCOMPARE(rules->pauseReason(), std::nullopt);
        power.setBattery(true);
        QCOMPARE(changes, 1);
        QCOMPARE(rules->pauseReason(), std::optional<QString>(QStringLiteral("on battery")));
        power.setBattery(true); // the same source again (say, the level moved): no call
        QCOMPARE(changes, 1);
        power.setLowPower(true);
        machine.setThermal(ThermalState::serious);
        QCOMPARE(changes, 3);
    }
};

QTEST_GUILESS_MAIN(TestPauseRules)
#include "tst_pause_rules.moc"
