// Cost of settings-domain operations with 200 keys in the domain.
//
//   build/bench/bench_defaults
//
// Reports per-operation times; the figure that matters is SingleKeyWrite (target: under 1 ms).
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
