// Cost of drawing one clock frame against drawing the same texts with plain QPainter::drawText.
//   new_minute: the lock screen clock when the minute changes: the same view, a time it has not drawn
//               (the headline figure; every iteration is a different minute)
//   repaint:    a repaint within the same minute (the block is kept between ticks)
//   first:      a new view drawing its first frame (a preview being opened)
// CPU time counts every thread of the process: Qt hands large image blends to its thread pool, so the
// drawing thread's own time would leave that work out. Wall time is printed too.
// Run: build/bench/bench_clock_render --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "brand/brand.h"
#include "clock/clock_hours.h"
#include "clock/clock_lines.h"
#include "clock/clock_view.h"
#include "clock/presets.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

const QDateTime instant(QDate(2026, 3, 14), QTime(9, 41));

const ClockStyle& preset(int index) { return Presets::builtIn().at(index).style; }

QImage target(double scale)
{
    QImage image(qRound(1512 * scale), qRound(982 * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

void clockRepaint(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const ClockView view(preset(index), scale, 0xF0A08A);
    const QRectF screen(QPointF(0, 0), QSizeF(image.size()));
    for (auto _ : state) {
        QPainter painter(&image);
        view.drawOnScreen(painter, screen, instant);
    }
}

// 24 hours of minutes, so no iteration repeats the time of the one before. Made beforehand: the
// clock is handed its date, finding it is not part of drawing a frame.
const QDateTime& nextMinute(int& minute)
{
    static const QList<QDateTime> minutes = [] {
        QList<QDateTime> all;
        for (int i = 0; i < 24 * 60; ++i)
            all << QDateTime(instant.date(), QTime(0, 0).addSecs(60 * i));
        return all;
    }();
    minute = (minute + 1) % int(minutes.size());
    return minutes[minute];
}

void clockNewMinute(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const QRectF screen(QPointF(0, 0), QSizeF(image.size()));
    const ClockView view(preset(index), scale, 0xF0A08A);
    int minute = 0;
    for (auto _ : state) {
        QPainter painter(&image);
        view.drawOnScreen(painter, screen, nextMinute(minute));
    }
}

void clockFirst(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const QRectF screen(QPointF(0, 0), QSizeF(image.size()));
    int minute = 0;
    for (auto _ : state) {
        const ClockView view(preset(index), scale, 0xF0A08A);
        QPainter painter(&image);
        view.drawOnScreen(painter, screen, nextMinute(minute));
    }
}

// The same texts, fonts and sizes, drawn as plain text at the block's place.
void plainText(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const ClockStyle& style = preset(index);
    const SmallLines lines = smallLines(style, instant);
    const QString time = style.timeParts(instant).join(QLatin1Char(':'));
    auto qtFont = [&](const FontSpec& fontSpec) {
        QFont font = fontSpec.font(1);
        font.setPointSizeF(fontSpec.size * scale * 72.0 / image.logicalDpiY());
        return font;
    };
    const QFont timeFont = qtFont(style.timeFont);
    QFont labelFont = qtFont(style.labelFont);
    labelFont.setLetterSpacing(QFont::AbsoluteSpacing, style.labelTracking * scale);
    const QColor colour = style.timeColor.color();
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(colour);
        double y = 200 * scale;
        painter.setFont(labelFont);
        for (const SmallLine& line : lines.above)
            painter.drawText(QPointF(500 * scale, y += 20 * scale), line.text.toUpper());
        painter.setFont(timeFont);
        painter.drawText(QPointF(500 * scale, y += style.timeFont.size * scale), time);
        painter.setFont(labelFont);
        for (const SmallLine& line : lines.below)
            painter.drawText(QPointF(500 * scale, y += 20 * scale), line.text.toUpper());
    }
}

// Remembers each run's time so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> times;
    std::map<std::string, double> wallTimes;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times[run.run_name.function_name] = run.GetAdjustedCPUTime();
                wallTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Brand::registerFonts();
    ClockHours::shared().setFormat(ClockTimeFormat::twentyFour);
    const char* names[] = {"Eclipse", "Graphite", "Infinity", "FrogPond"};
    for (int index = 0; index < 4; ++index) {
        for (const double scale : {1.0, 0.25}) {
            const std::string suffix = std::string(names[index]) + (scale == 1.0 ? "/scale1" : "/scale0.25");
            benchmark::RegisterBenchmark(("new_minute/" + suffix).c_str(), clockNewMinute, index, scale)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark(("repaint/" + suffix).c_str(), clockRepaint, index, scale)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark(("first/" + suffix).c_str(), clockFirst, index, scale)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark(("plain_text/" + suffix).c_str(), plainText, index, scale)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime / plain drawText time, CPU (wall), target under 3x\n");
    for (int index = 0; index < 4; ++index) {
        for (const char* scale : {"scale1", "scale0.25"}) {
            const std::string suffix = std::string(names[index]) + "/" + scale;
            const double plain = reporter.times["plain_text/" + suffix];
            const double plainWall = reporter.wallTimes["plain_text/" + suffix];
            if (plain <= 0 || plainWall <= 0)
                continue;
            const auto ratio = [&](const char* kind) {
                const std::string name = kind + ("/" + suffix);
                return std::pair(reporter.times[name] / plain, reporter.wallTimes[name] / plainWall);
            };
            const auto [minute, minuteWall] = ratio("new_minute");
            const auto [repaint, repaintWall] = ratio("repaint");
            const auto [first, firstWall] = ratio("first");
            std::printf("%-20s new minute %5.2fx (%5.2fx)   repaint %5.2fx (%5.2fx)   first frame of a view %5.2fx (%5.2fx)\n",
                        suffix.c_str(), minute, minuteWall, repaint, repaintWall, first, firstWall);
        }
    }
    benchmark::Shutdown();
    return 0;
}
