// Media costs against the ffmpeg command line on the same clip and settings, and the x265
// presets at 1080p and 2160p. Each case runs once (these are seconds-long jobs); the ratios are
// printed at the end. Needs the ffmpeg command line.
//
//   bench/bench_media                      all cases
//   bench/bench_media --benchmark_filter=Preset   only the preset table
#include "media/lock_screen_video.h"
#include "media/movie_looper.h"
#include "media/thumbnailer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}
QString work(const QString& name) { return workDir().filePath(name); }
QMap<QString, double>& seconds()
{
    static QMap<QString, double> values;
    return values;
}

bool ffmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList{"-y", "-v", "error"} + arguments);
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A clip with enough detail that the encoder has real work: moving pattern plus noise.
QString clip(const QString& name, const QString& size, double length, int fps = 30, const QString& rate = "20M",
             const QString& codec = "libx264")
{
    const QString path = work(name);
    if (!QFile::exists(path))
        ffmpeg({"-f", "lavfi", "-i", QString("testsrc2=size=%1:rate=%2:duration=%3").arg(size).arg(fps).arg(length), "-vf",
                "noise=alls=12:allf=t", "-c:v", codec, "-preset", "ultrafast", "-b:v", rate, "-pix_fmt", "yuv420p",
                "-x265-params", "log-level=error", path});
    return path;
}

// Times `work` only; `prepare` runs before it in each iteration and is not counted (manual time).
template<typename Prepare, typename Work>
void timeEach(benchmark::State& state, const QString& key, Prepare prepare, Work work)
{
    for (auto _ : state) {
        if (!prepare()) {
            state.SkipWithError("preparing the iteration failed");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        const bool ok = work();
        const double s = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(s);
        if (!ok)
            state.SkipWithError("the job failed");
        seconds()[key] += s / state.max_iterations;
    }
}

template<typename Work>
void timeOnce(benchmark::State& state, const QString& key, Work work)
{
    timeEach(state, key, [] { return true; }, work);
}

const QString preset = QStringLiteral("superfast");

void ConvertOurs(benchmark::State& state)
{
    const QString source = clip("c1080.mp4", "1920x1080", 3);
    timeOnce(state, "convert.ours", [&] {
        LockScreenVideo::Options options;
        options.preset = preset;
        return LockScreenVideo::shrink(source, work("ours.mov"), {}, {}, options).ok();
    });
}
void ConvertCommandLine(benchmark::State& state)
{
    const QString source = clip("c1080.mp4", "1920x1080", 3);
    timeOnce(state, "convert.cli", [&] {
        return ffmpeg({"-i", source, "-an", "-c:v", "libx265", "-preset", preset, "-pix_fmt", "yuv420p10le", "-profile:v", "main10",
                       "-b:v", "10000000", "-maxrate", "15000000", "-bufsize", "15000000", "-x265-params",
                       "bframes=0:b-pyramid=0:log-level=error", "-color_primaries", "bt709", "-color_trc", "bt709",
                       "-colorspace", "bt709", "-tag:v", "hvc1", work("cli.mov")});
    });
}

void ThumbnailOurs(benchmark::State& state)
{
    const QString source = clip("c1080.mp4", "1920x1080", 3);
    timeOnce(state, "thumb.ours", [&] { return Thumbnailer::writeVideo(source, work("ours.png")).ok; });
}
void ThumbnailCommandLine(benchmark::State& state)
{
    const QString source = clip("c1080.mp4", "1920x1080", 3);
    timeOnce(state, "thumb.cli", [&] {
        return ffmpeg({"-i", source, "-frames:v", "1", "-vf", "scale=1024:-2", work("cli.png")});
    });
}

// Two clips of about the same bytes: 1 s (3600 plays) and 60 s (60 plays).
void Loop(benchmark::State& state)
{
    const bool longClip = state.range(0) == 60;
    const QString source = longClip ? clip("d60.mp4", "640x360", 60, 1, "400k", "libx265")
                                    : clip("d1.mp4", "640x360", 1, 30, "24M", "libx265");
    timeOnce(state, longClip ? "loop.60" : "loop.1",
             [&] { return !MovieLooper::loopIntoPlace(source, work(longClip ? "l60.mov" : "l1.mov")); });
    state.counters["bytes"] = double(QFileInfo(source).size());
}
void HeaderOnly(benchmark::State& state)
{
    const bool longClip = state.range(0) == 60;
    const QString source = longClip ? clip("d60.mp4", "640x360", 60, 1, "400k", "libx265")
                                    : clip("d1.mp4", "640x360", 1, 30, "24M", "libx265");
    const QString copy = work(longClip ? "h60.mov" : "h1.mov");
    // repeatTrack refuses a movie that already has its edits, so every iteration rewrites a fresh
    // one-play copy of the track; making the copy is not part of the measured time.
    timeEach(
        state, longClip ? "header.60" : "header.1",
        [&] {
            QFile::remove(copy);
            return !MovieLooper::copyVideoTrack(source, copy);
        },
        [&] { return !MovieLooper::repeatTrack(copy); });
    state.counters["bytes"] = double(QFileInfo(source).size());
}

void Preset(benchmark::State& state)
{
    static const char* presets[] = {"ultrafast", "superfast", "veryfast", "medium"};
    const QString name = presets[state.range(0)];
    const bool uhd = state.range(1) == 2160;
    const QString source = uhd ? clip("p2160.mp4", "3840x2160", 1) : clip("p1080.mp4", "1920x1080", 2);
    const int frames = uhd ? 30 : 60;
    timeOnce(state, QString("preset.%1.%2").arg(name).arg(state.range(1)), [&] {
        LockScreenVideo::Options options;
        options.preset = name;
        return LockScreenVideo::shrink(source, work("preset.mov"), {}, {}, options).ok();
    });
    state.SetLabel(name.toStdString());
    state.counters["fps"] = frames / seconds()[QString("preset.%1.%2").arg(name).arg(state.range(1))];
}

} // namespace

BENCHMARK(ConvertOurs)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertCommandLine)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ThumbnailOurs)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ThumbnailCommandLine)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Loop)->Arg(1)->Arg(60)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HeaderOnly)->Arg(1)->Arg(60)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Preset)->ArgsProduct({{0, 1, 2, 3}, {1080, 2160}})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const auto& s = seconds();
    auto ratio = [&](const char* label, const char* a, const char* b) {
        if (s.contains(a) && s.contains(b) && s[b] > 0)
            std::printf("%-44s %.2f\n", label, s[a] / s[b]);
    };
    ratio("conversion, ours / command line:", "convert.ours", "convert.cli");
    ratio("thumbnail, ours / command line:", "thumb.ours", "thumb.cli");
    ratio("loop into place, d=1 s / d=60 s:", "loop.1", "loop.60");
    ratio("header rewrite only, d=1 s / d=60 s:", "header.1", "header.60");
    benchmark::Shutdown();
    return 0;
}
