// Cost of reading stored bar settings and of drawing one bar preview.
//
//   build/bench/bench_taskbar
//
// DecodeLegacySettings: a full stored record written by an older version (legacy keys that are
// migrated). DrawPreviewBar: one whole bar (Eclipse: glass, rounded, dots, clock and date) drawn
// over its wallpaper at 1440 points wide; DrawMiniBar: the small horizontal bar of style cards.
#include "taskbar/point_canvas.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/taskbar_settings.h"
#include "taskbar/theme.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QByteArray legacyRecord()
{
    QJsonObject json = TaskbarSettings().toJson();
    json.remove(QStringLiteral("trash"));
    json.remove(QStringLiteral("backgroundStyle"));
    json.remove(QStringLiteral("edgeGap"));
    json.remove(QStringLiteral("clickActive"));
    json.remove(QStringLiteral("separateRunningApps"));
    json.insert(QStringLiteral("corner"), QStringLiteral("timeDateTrash"));
    json.insert(QStringLiteral("blur"), true);
    json.insert(QStringLiteral("bottomGap"), 8);
    json.insert(QStringLiteral("overflow"), QStringLiteral("runPast"));
    json.insert(QStringLiteral("clickFocusedHides"), true);
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

void DecodeLegacySettings(benchmark::State& state)
{
    const QByteArray data = legacyRecord();
    for (auto _ : state) {
        std::optional<TaskbarSettings> settings = TaskbarSettings::decode(data);
        benchmark::DoNotOptimize(settings);
        if (!settings || settings->trash != TrashPlacement::corner)
            state.SkipWithError("legacy record did not decode");
    }
}
BENCHMARK(DecodeLegacySettings)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void DrawPreviewBar(benchmark::State& state)
{
    TaskbarSettings settings;
    Theme::builtInNamed(QStringLiteral("Eclipse"))->apply(settings);
    const PreviewBar preview(settings);
    const QSize screen(1440, 900);
    const QImage wallpaper = PreviewBar::sampleWallpaper(screen);
    QImage canvas = wallpaper;
    for (auto _ : state) {
        QPainter painter(&canvas);
        preview.draw(painter, QSizeF(screen), PreviewBar::menuBarHeight, &wallpaper);
    }
}
BENCHMARK(DrawPreviewBar)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void DrawMiniBar(benchmark::State& state)
{
    TaskbarSettings settings;
    Theme::builtInNamed(QStringLiteral("Frog Pond"))->apply(settings);
    for (auto _ : state) {
        QImage image = PreviewBar::miniBar(settings, 640, 0.5);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(DrawMiniBar)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
