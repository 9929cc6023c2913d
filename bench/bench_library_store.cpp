// Library store start-up over libraries of 1,000 and 10,000 wallpapers with as many ensembles.
//
//   build/bench/bench_library_store --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Start-up must grow about linearly: the 10,000 median under 12 times the 1,000 one.
#include "app/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A library root with `count` wallpapers (each with its media file) and one ensemble per wallpaper.
LibraryLocations makeLibrary(const QTemporaryDir& dir, int count)
{
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toUtf8());
    Defaults::forgetAll();
    const LibraryLocations where {dir.path() + QStringLiteral("/data/Paneflow"), dir.path() + QStringLiteral("/shipped")};
    QDir().mkpath(where.videos());
    QDir().mkpath(where.shippedWallpapers);
    QList<Wallpaper> items;
    QList<Ensemble> ensembles;
    for (int i = 0; i < count; ++i) {
        Wallpaper item;
        item.id = QUuid::createUuid();
        item.name = QStringLiteral("Wallpaper %1").arg(i);
        item.fileName = item.name + QStringLiteral(".mp4");
        QFile(where.videos() + QLatin1Char('/') + item.fileName).open(QIODevice::WriteOnly);
        Ensemble ensemble;
        ensemble.name = QStringLiteral("Ensemble %1").arg(i);
        ensemble.wallpaper = item.id;
        ensemble.clockPreset = QUuid::createUuid();
        ensembles.append(ensemble);
        items.append(item);
    }
    LibraryFiles::writeIndex(where, items, ensembles);
    Defaults& prefs = Defaults::domain(Zentrove::paneflowID());
    prefs.set(QStringLiteral("currentEnsembleID"), ensembles.at(count / 2).id.toString(QUuid::WithoutBraces).toUpper());
    prefs.set(QStringLiteral("startedOnFirstEnsemble"), true);
    return where;
}

void StartUp(benchmark::State& state, bool engine)
{
    QTemporaryDir dir;
    const LibraryLocations where = makeLibrary(dir, int(state.range(0)));
    for (auto _ : state) {
        LibraryStore store(Zentrove::paneflowID(), engine, where, LibraryServices {});
        benchmark::DoNotOptimize(store.items().size());
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["wallpapers"] = double(state.range(0));
}

void ControlAppStartUp(benchmark::State& state)
{
    StartUp(state, false);
}
BENCHMARK(ControlAppStartUp)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void EngineStartUp(benchmark::State& state)
{
    StartUp(state, true);
}
BENCHMARK(EngineStartUp)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
