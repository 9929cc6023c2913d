// The performance report over a full log, and the cost of recording one row.
//
//   build/bench/bench_performance_log --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "platform/machine.h"
#include "platform/power.h"
#include "wallpaper/performance_log.h"
#include "wallpaper/performance_recorder.h"
#include "wallpaper/performance_report.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A log of `rows` samples 30 s apart: mostly playing, paused stretches with reasons, unplugged
// stretches with a falling battery.
QByteArray makeLog(int rows)
{
    QByteArray out = PerformanceLog::header().toUtf8() + '\n';
    const QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    const char* reasons[] = {"on battery", "Mac is busy", "", "Low Power Mode"};
    for (int i = 0; i < rows; ++i) {
        const bool playing = (i / 40) % 3 != 2;
        const bool unplugged = (i / 200) % 2 == 1;
        const int battery = 100 - (i % 200) / 4;
        out += start.addSecs(qint64(i) * 30).toString(Qt::ISODate).toUtf8();
        out += playing ? ",playing," : ",paused,";
        out += playing ? "" : reasons[(i / 40) % 4];
        out += QByteArray(",") + QByteArray::number(1.0 + (i % 17) * 0.13, 'f', 2) + "," + QByteArray::number(350.0 + i % 50, 'f', 1)
            + "," + QByteArray::number(180.0 + i % 7, 'f', 1) + "," + (unplugged ? "1" : "0") + ","
            + QByteArray::number(battery) + "," + QByteArray::number(12.5 + i % 30, 'f', 1) + ",0,0\n";
    }
    return out;
}

void writeLog(const QByteArray& content)
{
    QDir().mkpath(QFileInfo(PerformanceLog::path()).absolutePath());
    QFile file(PerformanceLog::path());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
}

void BM_ReportOverFullLog(benchmark::State& state)
{
    writeLog(makeLog(PerformanceLog::maxRows));
    for (auto _ : state) {
        const QString text = PerformanceReport::text();
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_ReportOverFullLog)->Unit(benchmark::kMillisecond);

// One row with the real readings of this process and machine, appended to a log that starts
// empty or full (then every 500th row also trims the log).
void BM_RecordRow(benchmark::State& state)
{
    writeLog(state.range(0) ? makeLog(PerformanceLog::maxRows) : PerformanceLog::header().toUtf8() + '\n');
    QDateTime now = QDateTime::currentDateTimeUtc();
    PerformanceRecorder recorder(PerformanceRecorder::Sensors::system(), PerformanceLog::path(), [&] { return now; });
    recorder.start();
    for (auto _ : state) {
        now = now.addSecs(30);
        recorder.recordRow();
    }
    recorder.stop();
}
BENCHMARK(BM_RecordRow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
