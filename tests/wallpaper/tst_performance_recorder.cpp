#include "fake_sensors.h"
#include "test_support.h"
#include "wallpaper/performance_log.h"
#include "wallpaper/performance_recorder.h"
#include "wallpaper/performance_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestPerformanceRecorder : public QObject
{
    Q_OBJECT

    FakePower power;
    FakeMachine machine;
    QDateTime now;
    std::unique_ptr<TestHome> home;

    std::unique_ptr<PerformanceRecorder> makeRecorder()
    {
        return std::make_unique<PerformanceRecorder>(PerformanceRecorder::Sensors {&power, &machine},
                                                     PerformanceLog::path(), [this] { return now; });
    }

    // Moves time and the process's usage on together.
    void pass(double seconds, double cpuSeconds = 0, double joules = 0)
    {
        now = now.addMSecs(qint64(seconds * 1000));
        machine.usage->cpuSeconds += cpuSeconds;
        machine.usage->energyJoules += joules;
        machine.advance(0.25);
    }

    static QStringList lines()
    {
        QFile file(PerformanceLog::path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static QStringList fields(const QString& line) { return line.split(QLatin1Char(',')); }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
        power.battery = true;
        power.percent = 77;
        power.lowPower = false;
        machine.usage = ProcessUsage {100, 40, 123.45};
        machine.ticks = CpuTicks {};
        machine.thermal = ThermalState::fair;
    }

    void cleanup() { home.reset(); }

    void rowsOnTicksAndStateChanges()
    {
        auto recorder = makeRecorder();
        recorder->start();
        QVERIFY(recorder->isRunning());
        QVERIFY(!QFile::exists(PerformanceLog::path()));

        pass(30, 3, 15);
        recorder->recordRow(); // the first tick after start writes a row
        QStringList log = lines();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0], PerformanceLog::header());
        QCOMPARE(fields(log[1]), QStringList({QStringLiteral("2026-03-01T12:00:30Z"), QStringLiteral("paused"),
                                              QStringLiteral("starting"), QStringLiteral("10.00"),
                                              QStringLiteral("500.0"), QStringLiteral("123.5"), QStringLiteral("1"),
                                              QStringLiteral("77"), QString(), QStringLiteral("1"),
                                              QStringLiteral("0")}));

        // Starting to play 10 s later closes the paused stretch with a row of its own.
        pass(10, 1, 2);
        recorder->stateChanged(true, std::nullopt);
        log = lines();
        QCOMPARE(log.size(), 3);
        QCOMPARE(fields(log[2]).mid(1, 5), QStringList({QStringLiteral("paused"), QStringLiteral("starting"),
                                                        QStringLiteral("10.00"), QStringLiteral("200.0"),
                                                        QStringLiteral("123.5")}));
        QCOMPARE(fields(log[2])[8], QStringLiteral("25.0")); // the machine's load since the previous row

        // Less than a second later: no row, and the next one still spans from the last written.
        pass(0.5, 5);
        recorder->stateChanged(false, QStringLiteral("Mac is busy, very"));
        QCOMPARE(lines().size(), 3);
        pass(29.5);
        power.percent.reset();
        power.battery = false;
        power.lowPower = true;
        recorder->recordRow();
        log = lines();
        QCOMPARE(log.size(), 4);
        const QStringList last = fields(log[3]);
        QCOMPARE(last.size(), PerformanceLog::columnCount);
        QCOMPARE(last[1], QStringLiteral("paused"));
        QCOMPARE(last[2], QStringLiteral("Mac is busy; very"));
        QCOMPARE(last[3], QStringLiteral("16.67"));
        QCOMPARE(last.mid(6), QStringList({QStringLiteral("0"), QString(), QStringLiteral("25.0"),
                                           QStringLiteral("1"), QStringLiteral("1")}));

        // The report reads back what the recorder wrote.
        const auto rows = PerformanceReport::parse(QStringList(log).join(QLatin1Char('\n')).toUtf8());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2].reason, QStringLiteral("Mac is busy; very"));
        QVERIFY(!rows[2].battery);
    }

    void reasonsCannotBreakTheLog()
    {
        const QString row = PerformanceRecorder::formatRow(now, true, QStringLiteral("a,b\nc\rd"), {}, {}, 1.0, false,
                                                           std::nullopt, std::nullopt, ThermalState::nominal, false);
        QCOMPARE(fields(row).size(), PerformanceLog::columnCount);
        QVERIFY(!row.contains(QLatin1Char('\n')) && !row.contains(QLatin1Char('\r')));
        QCOMPARE(fields(row)[2], QStringLiteral("a;b c d"));
    }

    void noReadingNoRowAndStopForgets()
    {
        auto recorder = makeRecorder();
        machine.usage.reset();
        recorder->start();
        pass(0);
        now = now.addSecs(30);
        recorder->recordRow(); // nothing to measure with
        machine.usage = ProcessUsage {1, 0, 10};
        now = now.addSecs(30);
        recorder->recordRow(); // first reading: only remembered
        QVERIFY(!QFile::exists(PerformanceLog::path()));
        now = now.addSecs(30);
        recorder->recordRow();
        QCOMPARE(lines().size(), 2);

        recorder->stop();
        QVERIFY(!recorder->isRunning());
        recorder->stateChanged(true, std::nullopt); // not running: no row
        QCOMPARE(lines().size(), 2);
        recorder->start();
        now = now.addSecs(30);
        recorder->recordRow();
        QCOMPARE(lines().size(), 3);
        QCOMPARE(fields(lines()[2])[8], QString()); // the machine's counts were forgotten on stop
        QCOMPARE(fields(lines()[2])[1], QStringLiteral("playing"));
    }

    void trimsToTheNewestRowsAtTheCheck()
    {
        // A log already at its limit, then 500 more rows: 40,499 rows are kept until the 500th
        // append checks, which cuts back to the newest 40,000.
        QByteArray content = PerformanceLog::header().toUtf8() + '\n';
        const QByteArray oldRow = "2026-01-01T00:00:00Z,playing,,1.00,1.0,1.0,0,,,0,0\n";
        content.reserve(content.size() + oldRow.size() * PerformanceLog::maxRows);
        for (int i = 0; i < PerformanceLog::maxRows; ++i)
            content += oldRow;
        QVERIFY(QDir().mkpath(QFileInfo(PerformanceLog::path()).absolutePath()));
        QFile file(PerformanceLog::path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        auto recorder = makeRecorder();
        recorder->start();
        for (int i = 1; i < PerformanceRecorder::trimEvery; ++i) {
            pass(30);
            recorder->recordRow();
        }
        QCOMPARE(lines().size(), 1 + PerformanceLog::maxRows + PerformanceRecorder::trimEvery - 1);
        pass(30);
        recorder->recordRow();
        QStringList log = lines();
        QCOMPARE(log.size(), 1 + PerformanceLog::maxRows);
        QCOMPARE(log.first(), PerformanceLog::header());
        QCOMPARE(log[1], QString::fromUtf8(oldRow).trimmed()); // oldest 500 gone, the rest in order
        QVERIFY(log.last().startsWith(now.toString(Qt::ISODate)));

        // The row after a trim starts a line of its own.
        pass(30);
        recorder->recordRow();
        log = lines();
        QCOMPARE(log.size(), 2 + PerformanceLog::maxRows);
        QCOMPARE(fields(log.last()).size(), PerformanceLog::columnCount);
        QCOMPARE(fields(log[log.size() - 2]).size(), PerformanceLog::columnCount);
    }

    void aTornLastLineDoesNotSwallowTheNextRow()
    {
        QVERIFY(QDir().mkpath(QFileInfo(PerformanceLog::path()).absolutePath()));
        QFile file(PerformanceLog::path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(PerformanceLog::header().toUtf8() + "\n2026-01-01T00:00:00Z,play");
        file.close();
        auto recorder = makeRecorder();
        recorder->start();
        pass(30);
        recorder->recordRow();
        const QStringList log = lines();
        QCOMPARE(log.size(), 3);
        QCOMPARE(fields(log[2]).size(), PerformanceLog::columnCount);
        QVERIFY(PerformanceReport::parseRow(log[2].toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestPerformanceRecorder)
#include "tst_performance_recorder.moc"
