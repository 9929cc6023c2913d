// Library store start-up over libraries of 1,000 and 10,000 wallpapers with as many ensembles.
//
//   build/bench/bench_library_store
//
// Start-up must grow about linearly: the 10,000 median under 12 times the 1,000 one. The cases
// run in random turns (so both sizes meet the machine's quiet and busy moments alike). The ratios
// are printed at the end, from CPU time (what the store costs) and from wall time (what a user
// waits, which on a busy machine also counts the other processes).
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// A library root with `count` wallpapers (each with its media file) and one ensemble per wallpaper.
void fillLibrary(const LibraryLocations& where, int count)
{
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
}

// One library per size, made the first time it is asked for and shared by every case and
// repetition of that size, so they all read the same files. Points the settings at it.
std::map<int, std::unique_ptr<QTemporaryDir>> libraries;

LibraryLocations library(int count)
{
    std::unique_ptr<QTemporaryDir>& dir = libraries[count];
    const bool fresh = !dir;
    if (fresh)
        dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", (dir->path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (dir->path() + QStringLiteral("/data")).toUtf8());
    Defaults::forgetAll();
    const LibraryLocations where {dir->path() + QStringLiteral("/data/Paneflow"), dir->path() + QStringLiteral("/shipped")};
    if (fresh)
        fillLibrary(where, count);
    return where;
}

// Times making the store only; letting it go is not part of starting up.
void StartUp(benchmark::State& state, bool engine)
{
    const LibraryLocations where = library(int(state.range(0)));
    std::optional<LibraryStore> store;
    for (auto _ : state) {
        store.emplace(Zentrove::paneflowID(), engine, where, LibraryServices {});
        benchmark::DoNotOptimize(store->items().size());
        state.PauseTiming();
        store.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["wallpapers"] = double(state.range(0));
}

void ControlAppStartUp(benchmark::State& state)
{
    StartUp(state, false);
}
BENCHMARK(ControlAppStartUp)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void EngineStartUp(benchmark::State& state)
{
    StartUp(state, true);
}
BENCHMARK(EngineStartUp)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void ReadWallpapers(benchmark::State& state)
{
    const LibraryLocations where = library(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(LibraryFiles::readWallpapers(where).size());
}
BENCHMARK(ReadWallpapers)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void DecodeWallpapers(benchmark::State& state)
{
    const LibraryLocations where = library(int(state.range(0)));
    const QByteArray bytes = *LibraryFiles::readSmallFile(where.libraryFile());
    for (auto _ : state)
        benchmark::DoNotOptimize(LibraryFiles::decodeWallpapers(bytes)->size());
}
BENCHMARK(DecodeWallpapers)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void ParseJson(benchmark::State& state)
{
    const LibraryLocations where = library(int(state.range(0)));
    const QByteArray bytes = *LibraryFiles::readSmallFile(where.libraryFile());
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes).array().size());
}
BENCHMARK(ParseJson)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void ReadEnsembles(benchmark::State& state)
{
    const LibraryLocations where = library(int(state.range(0)));
    const auto items = LibraryFiles::readWallpapers(where);
    for (auto _ : state)
        benchmark::DoNotOptimize(LibraryFiles::readEnsembles(where, items)->size());
}
BENCHMARK(ReadEnsembles)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Keeps the median (or single) time of each case so the growth ratios can be printed at the end.
class GrowthReporter : public benchmark::ConsoleReporter
{
public:
    struct Times
    {
        double cpu = 0;
        double wall = 0;
    };
    std::map<std::string, Times> times;

    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                times[run.run_name.function_name + "/" + run.run_name.args] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printGrowth() const
    {
        std::printf("\n10,000 over 1,000 wallpapers (target under 12x)\n");
        for (const auto& [name, small] : times) {
            if (!name.ends_with("/1000"))
                continue;
            const auto large = times.find(name.substr(0, name.size() - 4) + "10000");
            if (large == times.end() || small.cpu <= 0 || small.wall <= 0)
                continue;
            std::printf("%-22s CPU %5.2fx (%.1f ms)   wall %5.2fx (%.1f ms)\n", name.substr(0, name.size() - 5).c_str(),
                        large->second.cpu / small.cpu, large->second.cpu, large->second.wall / small.wall, large->second.wall);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The two sizes take turns, so a busy moment of the machine weighs on both alike and the
    // ratio between them stays steady; a flag on the command line still decides.
    std::vector<char*> arguments(argv, argv + argc);
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaving);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    GrowthReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printGrowth();
    libraries.clear();
    benchmark::Shutdown();
    return 0;
}
