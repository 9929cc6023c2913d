#include "platform/machine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The Linux backend of the machine seam, over folders that play /proc, /sys and /etc.
class TestMachineLinux : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    Machine::Sources sources;

    void put(const QString& relative, const QByteArray& content)
    {
        const QString path = dir->path() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    void processTicks(quint64 utime, quint64 stime)
    {
        // The name holds spaces and parentheses, as names may.
        put(QStringLiteral("proc/self/stat"), "4242 (part (live) wall) S 1 4242 4242 0 -1 4194560 900 0 0 0 "
                + QByteArray::number(utime) + " " + QByteArray::number(stime) + " 0 0 20 0 5 0 77 100000 300\n");
    }

    void hostTicks(quint64 user, quint64 system)
    {
        put(QStringLiteral("proc/stat"), "cpu  " + QByteArray::number(user) + " 0 " + QByteArray::number(system)
                + " 5000 0 0 0 0 0 0\ncpu0 1 2 3 4 5 6 7 8 0 0\nintr 1\n");
    }

    std::unique_ptr<Machine> make(int thermalPollMs = 0)
    {
        sources.thermalPollMs = thermalPollMs;
        return Machine::makeSystem(sources);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        sources = {};
        sources.procRoot = dir->path() + QStringLiteral("/proc");
        sources.sysRoot = dir->path() + QStringLiteral("/sys");
        sources.osRelease = dir->path() + QStringLiteral("/etc/os-release");
    }

    void hostTicksFoldLinuxCategories()
    {
        auto machine = make();
        QVERIFY(!machine->cpuTicks()); // no /proc/stat
        put(QStringLiteral("proc/stat"), "cpu  100 5 50 1000 20 3 2 1 0 0\ncpu0 1 1 1 1 1 1 1 1 0 0\n");
        // Interrupts are system time; I/O wait and stolen time are not load.
        QCOMPARE(machine->cpuTicks(), std::optional<CpuTicks>(CpuTicks {100, 55, 1021, 5}));
        put(QStringLiteral("proc/stat"), "cpu  4294967396 0 0 0\n"); // 2^32 + 100: kept modulo 2^32
        QCOMPARE(machine->cpuTicks()->user, 100u);
        for (const QByteArray& bad : {QByteArray("cpu0 1 2 3 4\n"), QByteArray("cpu  1 x 3 4\n"), QByteArray("cpu 1 2\n"),
                                      QByteArray()}) {
            put(QStringLiteral("proc/stat"), bad);
            QVERIFY2(!machine->cpuTicks(), bad.constData());
        }
    }

    void processUsage()
    {
        auto machine = make();
        QVERIFY(!machine->processUsage());
        processTicks(150, 50);
        QVERIFY(!machine->processUsage()); // no statm yet
        put(QStringLiteral("proc/self/statm"), "1000 256 10 1 0 100 0\n");
        const auto usage = machine->processUsage();
        QVERIFY(usage);
        QCOMPARE(usage->cpuSeconds, 200.0 / double(sysconf(_SC_CLK_TCK)));
        QCOMPARE(usage->memoryMiB, 256.0 * double(sysconf(_SC_PAGESIZE)) / 1048576.0);
        QCOMPARE(usage->energyJoules, 0.0); // no power-capping counters here

        put(QStringLiteral("proc/self/stat"), "4242 (no closing parenthesis S 1 2 3\n");
        QVERIFY(!machine->processUsage());
        put(QStringLiteral("proc/self/stat"), "4242 (short) S 1 2 3\n");
        QVERIFY(!machine->processUsage());
    }

    void energyIsOurShareOfThePackage()
    {
        auto machine = make();
        put(QStringLiteral("proc/self/statm"), "1000 256\n");
        put(QStringLiteral("sys/class/powercap/intel-rapl:0/energy_uj"), "1000000\n");
        put(QStringLiteral("sys/class/powercap/intel-rapl:0/max_energy_range_uj"), "10000000\n");
        put(QStringLiteral("sys/class/powercap/intel-rapl:0:0/energy_uj"), "999999999\n"); // a sub-zone: not counted
        processTicks(100, 0);
        hostTicks(1000, 0);
        QCOMPARE(machine->processUsage()->energyJoules, 0.0); // the first reading is the baseline

        // 2 J spent by the package while we did half of the busy work.
        put(QStringLiteral("sys/class/powercap/intel-rapl:0/energy_uj"), "3000000\n");
        processTicks(150, 0);
        hostTicks(1100, 0);
        QCOMPARE(machine->processUsage()->energyJoules, 1.0);

        // The counter wraps at its range: 9.5 J to 0.5 J is 1 J; all of the busy work was ours.
        put(QStringLiteral("sys/class/powercap/intel-rapl:0/energy_uj"), "9500000\n");
        processTicks(150, 0);
        hostTicks(1100, 0);
        QCOMPARE(machine->processUsage()->energyJoules, 1.0); // no busy ticks: nothing to share
        put(QStringLiteral("sys/class/powercap/intel-rapl:0/energy_uj"), "500000\n");
        processTicks(160, 0);
        hostTicks(1110, 0);
        QCOMPARE(machine->processUsage()->energyJoules, 2.0);
    }

    void thermalStateFromTripPoints()
    {
        auto machine = make();
        QCOMPARE(machine->thermalState(), ThermalState::nominal); // no thermal zones at all
        put(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "50000\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_type"), "active\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_temp"), "45000\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_1_type"), "passive\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_1_temp"), "80000\n");
        QCOMPARE(machine->thermalState(), ThermalState::fair);

        put(QStringLiteral("sys/class/thermal/thermal_zone1/temp"), "95000\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone1/trip_point_0_type"), "passive\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone1/trip_point_0_temp"), "90000\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone1/trip_point_1_type"), "critical\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone1/trip_point_1_temp"), "0\n"); // disabled
        QCOMPARE(machine->thermalState(), ThermalState::serious); // the hottest zone counts

        put(QStringLiteral("sys/class/thermal/thermal_zone1/trip_point_1_temp"), "94000\n");
        QCOMPARE(machine->thermalState(), ThermalState::critical);
        put(QStringLiteral("sys/class/thermal/thermal_zone1/temp"), "hot\n");
        QCOMPARE(machine->thermalState(), ThermalState::fair); // an unreadable zone says nothing
    }

    void thermalChangesAreNoticed()
    {
        put(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "40000\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_type"), "passive\n");
        put(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_temp"), "80000\n");
        auto machine = make(20);
        QSignalSpy spy(machine.get(), &Machine::thermalStateChanged);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
        put(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "85000\n");
        QTRY_COMPARE(spy.count(), 1);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 1);
    }

    void systemVersion_data()
    {
        QTest::addColumn<QByteArray>("osRelease"); // empty: no such file
        QTest::addColumn<QByteArray>("kernel");
        QTest::addColumn<QString>("version");
        QTest::newRow("Debian") << QByteArray("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID=\"12\"\n")
                                << QByteArray("6.1.0-26-amd64\n") << "12.0.0";
        QTest::newRow("Ubuntu") << QByteArray("NAME=Ubuntu\nVERSION_ID=\"22.04\"\n") << QByteArray() << "22.4.0";
        QTest::newRow("unquoted, four pieces") << QByteArray("VERSION_ID=1.2.3.4\n") << QByteArray() << "1.2.3";
        QTest::newRow("rolling: the kernel's") << QByteArray("NAME=Arch\nBUILD_ID=rolling\n")
                                               << QByteArray("6.18.44-fc-v1272\n") << "6.18.44";
        QTest::newRow("not numeric: the kernel's") << QByteArray("VERSION_ID=\"sid\"\n") << QByteArray("6.1\n") << "6.1.0";
        QTest::newRow("nothing to go by") << QByteArray() << QByteArray() << "0.0.0";
    }

    void systemVersion()
    {
        QFETCH(QByteArray, osRelease);
        QFETCH(QByteArray, kernel);
        QFETCH(QString, version);
        if (!osRelease.isEmpty())
            put(QStringLiteral("etc/os-release"), osRelease);
        if (!kernel.isEmpty())
            put(QStringLiteral("proc/sys/kernel/osrelease"), kernel);
        QCOMPARE(Machine::systemVersion(sources), version);
    }

    void systemVersionOverride()
    {
        qputenv("ZENTROVE_SYSTEM_VERSION", "15.1");
        QCOMPARE(Machine::systemVersion(), QStringLiteral("15.1.0"));
        qunsetenv("ZENTROVE_SYSTEM_VERSION");
        QCOMPARE(Machine::systemVersion().count(QLatin1Char('.')), 2);
    }
};

QTEST_GUILESS_MAIN(TestMachineLinux)
#include "tst_machine_linux.moc"
