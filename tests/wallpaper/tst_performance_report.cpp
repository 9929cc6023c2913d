#include "wallpaper/performance_log.h"
#include "wallpaper/performance_report.h"

#include <QTest>

namespace {

const QDateTime origin = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

struct Sample
{
    int second;
    bool playing = true;
    QString reason;
    QString battery; // empty: none
    bool onBattery = true;
    QString cpu = QStringLiteral("1.00");
    QString power = QStringLiteral("100.0");
    QString rss = QStringLiteral("50.0");
    QString system = QStringLiteral("10.0");
};

QString line(const Sample& s)
{
    return QStringList {origin.addSecs(s.second).toString(Qt::ISODate),
                        s.playing ? QStringLiteral("playing") : QStringLiteral("paused"),
                        s.reason, s.cpu, s.power, s.rss,
                        s.onBattery ? QStringLiteral("1") : QStringLiteral("0"),
                        s.battery, s.system, QStringLiteral("0"), QStringLiteral("0")}
        .join(QLatin1Char(','));
}

QByteArray csv(const QList<Sample>& samples)
{
    QByteArray out = PerformanceLog::header().toUtf8() + '\n';
    for (const Sample& s : samples)
        out += line(s).toUtf8() + '\n';
    return out;
}

// Unplugged rows every 30 s from `start` for `minutes`, the battery falling linearly.
QList<Sample> unplugged(int start, int minutes, bool playing, double fromPercent, double toPercent)
{
    QList<Sample> rows;
    const int steps = minutes * 2;
    for (int i = 0; i <= steps; ++i) {
        Sample s {start + i * 30, playing};
        s.battery = QString::number(qRound(fromPercent + (toPercent - fromPercent) * i / steps));
        rows << s;
    }
    return rows;
}

QString drainLine(const QString& text)
{
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        if (l.startsWith(QLatin1String("Battery drain: ")))
            return l;
    }
    return {};
}

} // namespace

class TestPerformanceReport : public QObject
{
    Q_OBJECT

private slots:
    void noUsableRowsSaysNoDataYet_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("header only") << (PerformanceLog::header().toUtf8() + '\n');
        QTest::newRow("only damaged lines") << QByteArray("time,state\n2026-13-45T99:00:00Z,playing,,1,1,1,0,,,0,0\n"
                                                          "2026-01-01T00:00:00Z,playing,,x,1,1,0,,,0,0\n"
                                                          "2026-01-01T00:00:00Z,playing,,nan,1,1,0,,,0,0\n"
                                                          "\xff\xfe garbage\n");
    }

    void noUsableRowsSaysNoDataYet()
    {
        QFETCH(QByteArray, content);
        QCOMPARE(PerformanceReport::text(PerformanceReport::parse(content), QStringLiteral("/logs/performance.csv")),
                 QStringLiteral("No data yet. Paneflow records a row every 30 seconds while it runs (log: "
                                "/logs/performance.csv)"));
    }

    void malformedLinesAreSkippedOthersKept()
    {
        Sample good {0};
        good.battery = QStringLiteral("80");
        const QString ok = line(good);
        QByteArray content = PerformanceLog::header().toUtf8() + '\n';
        content += ok.toUtf8() + '\n';
        content += ok.section(QLatin1Char(','), 0, 9).toUtf8() + '\n';       // ten fields
        content += ok.toUtf8() + ",extra\n";                                   // twelve fields
        content += ok.toUtf8() + "\r\n";                                       // written on another system
        content += "\n\n";
        content += ok.toUtf8().replace("playing", "paused");                   // last line without line end
        const auto rows = PerformanceReport::parse(content);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].time, origin);
        QVERIFY(rows[0].playing);
        QCOMPARE(rows[0].battery, std::optional<int>(80));
        QCOMPARE(rows[0].system, std::optional<double>(10.0));
        QVERIFY(!rows[2].playing);

        // Empty optional columns stay empty, they do not break the row.
        good.battery.clear();
        good.system.clear();
        const auto bare = PerformanceReport::parseRow(line(good).toUtf8());
        QVERIFY(bare);
        QVERIFY(!bare->battery);
        QVERIFY(!bare->system);
    }

    void reportLineByLine()
    {
        QList<Sample> samples;
        auto add = [&](int s, bool playing, const char* reason, const char* cpu, const char* power, const char* rss,
                       const char* system) {
            Sample x {s, playing, QString::fromUtf8(reason)};
            x.onBattery = false;
            x.cpu = QString::fromUtf8(cpu);
            x.power = QString::fromUtf8(power);
            x.rss = QString::fromUtf8(rss);
            x.system = QString::fromUtf8(system);
            samples << x;
        };
        add(0, true, "", "2.00", "100.0", "50.0", "10.0");
        add(30, true, "", "4.00", "300.0", "70.0", "30.0");
        add(60, false, "on battery", "1.00", "50.0", "60.0", "");
        add(90, false, "on battery", "1.00", "50.0", "60.0", "");
        add(120, false, "", "0.00", "10.0", "60.0", "");
        add(150, false, "Mac is busy", "2.00", "10.0", "60.0", "99.0"); // paused: not in the playing average
        const QString text = PerformanceReport::text(PerformanceReport::parse(csv(samples)), QStringLiteral("/l.csv"));
        const QStringList expected = {
            QStringLiteral("Paneflow performance — 6 samples over 0.0 h"),
            QStringLiteral("Playing (2 samples, 0.0 h): CPU 3.0%, energy 200 mW, memory 60 MB"),
            QStringLiteral("Paused (4 samples, 0.0 h): CPU 1.0%, energy 30 mW, memory 60 MB"),
            QStringLiteral("on battery 50%"),
            QStringLiteral("Mac is busy 25%"),
            QStringLiteral("other 25%"),
            QStringLiteral("System CPU while playing: 20% average"),
            QStringLiteral("Battery drain: not enough unplugged time yet (needs 10+ minutes in one state)"),
            QStringLiteral("Energy and CPU are Paneflow's own process. Log: /l.csv"),
        };
        QCOMPARE(text.split(QLatin1Char('\n')), expected);
    }

    void aStateWithoutRowsShowsNoAverages()
    {
        Sample only {0};
        only.system.clear();
        const QString text = PerformanceReport::text(PerformanceReport::parse(csv({only, Sample {7200}})), QStringLiteral("/l"));
        QVERIFY(text.startsWith(QStringLiteral("Paneflow performance — 2 samples over 2.0 h\nPlaying (2 samples, 0.0 h)")));
        QVERIFY(!text.contains(QLatin1String("Paused")));
        QVERIFY(!text.contains(QLatin1String("nan")));
        QVERIFY(text.contains(QLatin1String("System CPU while playing: 10% average")));
    }

    void batteryDrain_data()
    {
        QTest::addColumn<QList<Sample>>("samples");
        QTest::addColumn<QString>("expected");
        const QString notEnough =
            QStringLiteral("Battery drain: not enough unplugged time yet (needs 10+ minutes in one state)");
        QTest::newRow("8 minutes unplugged") << unplugged(0, 8, true, 90, 88) << notEnough;
        QTest::newRow("20 minutes playing from 90 to 86")
            << unplugged(0, 20, true, 90, 86)
            << QStringLiteral("Battery drain: 12.0%/h playing (all apps; compare over long unplugged stretches)");
        QTest::newRow("exactly 10 minutes") << unplugged(0, 10, false, 50, 49)
                                            << QStringLiteral("Battery drain: 6.0%/h paused (all apps; compare over "
                                                              "long unplugged stretches)");
        QList<Sample> both = unplugged(0, 20, true, 90, 86) + unplugged(1230, 30, false, 86, 85);
        QTest::newRow("both states")
            << both
            << QStringLiteral("Battery drain: 12.0%/h playing, 2.0%/h paused (all apps; compare over long unplugged "
                              "stretches)");

        // A row without a battery value splits 20 minutes into two short stretches.
        QList<Sample> holed = unplugged(0, 20, true, 90, 86);
        holed[20].battery.clear();
        QTest::newRow("missing battery breaks the stretch") << holed << notEnough;
        QList<Sample> plugged = unplugged(0, 20, true, 90, 86);
        plugged[20].onBattery = false;
        QTest::newRow("a plugged-in row breaks it") << plugged << notEnough;
        QList<Sample> paused = unplugged(0, 20, true, 90, 86);
        paused[20].playing = false;
        QTest::newRow("a row of the other state breaks it") << paused << notEnough;
        QList<Sample> gap = unplugged(0, 8, true, 90, 88) + unplugged(8 * 60 + 120, 8, true, 88, 86);
        QTest::newRow("a two-minute gap breaks it") << gap << notEnough;
        QList<Sample> shortGap = unplugged(0, 8, true, 90, 88) + unplugged(8 * 60 + 119, 8, true, 88, 86);
        QTest::newRow("a shorter gap does not")
            << shortGap
            << QStringLiteral("Battery drain: %1%/h playing (all apps; compare over long unplugged stretches)")
                   .arg(QString::asprintf("%.1f", 4.0 / ((16 * 60 + 119) / 3600.0)));
        // Two qualifying stretches: 7 points over 40 minutes (not the mean of 6 and 12 per hour).
        QList<Sample> two = unplugged(0, 10, true, 90, 89) + unplugged(4000, 30, true, 80, 74);
        QTest::newRow("stretches add up") << two
                                          << QStringLiteral("Battery drain: 10.5%/h playing (all apps; compare over long "
                                                            "unplugged stretches)");
    }

    void batteryDrain()
    {
        QFETCH(QList<Sample>, samples);
        QFETCH(QString, expected);
        QCOMPARE(drainLine(PerformanceReport::text(PerformanceReport::parse(csv(samples)), QStringLiteral("/l"))), expected);
    }
};

QTEST_GUILESS_MAIN(TestPerformanceReport)
#include "tst_performance_report.moc"
