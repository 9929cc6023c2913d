// Cost of settings-domain operations with 200 keys in the domain, and how it grows with the size
// of the domain file.
//
//   build/bench/bench_defaults
//   build/bench/bench_defaults --benchmark_filter=Large   # 200,000 and 1,200,000 keys (slow)
//
// Reports per-operation times; the figure that matters is SingleKeyWrite (target: under 1 ms).
// The Large cases time a whole read of the domain (as a process does when another one changed it)
// and a write of one key, for domains of 200,000 and 1,200,000 keys (10 and 60 MB files); both
// should grow in proportion to the key count.
#include "platform/defaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

Defaults& domainWith200Keys(QTemporaryDir& dir)
{
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    Defaults::forgetAll();
    Defaults& d = Defaults::domain(QStringLiteral("app.zentrove.bench"));
    QVariantMap values;
    for (int i = 0; i < 200; ++i)
        values.insert(QStringLiteral("key%1").arg(i), QStringLiteral("value number %1").arg(i));
    d.setValues(values);
    return d;
}

void SingleKeyWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    Defaults& d = domainWith200Keys(dir);
    qlonglong i = 0;
    for (auto _ : state)
        d.set(QStringLiteral("counter"), ++i);
}
BENCHMARK(SingleKeyWrite)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void SyncUnchanged(benchmark::State& state)
{
    QTemporaryDir dir;
    Defaults& d = domainWith200Keys(dir);
    for (auto _ : state)
        d.sync();
}
BENCHMARK(SyncUnchanged)->Unit(benchmark::kMicrosecond);

void Read(benchmark::State& state)
{
    QTemporaryDir dir;
    Defaults& d = domainWith200Keys(dir);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.string(QStringLiteral("key100")));
}
BENCHMARK(Read)->Unit(benchmark::kMicrosecond);

// A domain file of `keys` integer keys, about 50 bytes each on disk, written by another process.
Defaults& largeDomain(QTemporaryDir& dir, qsizetype keys)
{
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    Defaults::forgetAll();
    QVariantMap values;
    for (qsizetype i = 0; i < keys; ++i)
        values.insert(QStringLiteral("k%1").arg(i, 7, 10, QLatin1Char('0')), qlonglong(i));
    Defaults& writer = Defaults::domain(QStringLiteral("app.zentrove.large"));
    writer.setValues(values);
    Defaults::forgetAll();
    return Defaults::domain(QStringLiteral("app.zentrove.large"));
}

void LargeRead(benchmark::State& state)
{
    QTemporaryDir dir;
    largeDomain(dir, state.range(0));
    for (auto _ : state) {
        Defaults::forgetAll();
        benchmark::DoNotOptimize(Defaults::domain(QStringLiteral("app.zentrove.large")).contains(QStringLiteral("k0000000")));
    }
    state.counters["keys"] = double(state.range(0));
}
BENCHMARK(LargeRead)->Arg(200000)->Arg(1200000)->Unit(benchmark::kMillisecond)->Iterations(2);

void LargeSingleKeyWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    Defaults& d = largeDomain(dir, state.range(0));
    d.sync();
    qlonglong i = 0;
    for (auto _ : state)
        d.set(QStringLiteral("counter"), ++i);
    state.counters["keys"] = double(state.range(0));
}
BENCHMARK(LargeSingleKeyWrite)->Arg(200000)->Arg(1200000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
