// Cost of drawing one clock frame against drawing the same texts with plain QPainter::drawText.
//   warm: a repaint within the same minute (the block is kept between ticks)
//   cold: the first frame of a new minute (layout, glyph outlines, fill, shadow)
// Run: build/bench/bench_clock_render [--benchmark_repetitions=5 --benchmark_report_aggregates_only=true]
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

void clockWarm(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const ClockView view(preset(index), scale, 0xF0A08A);
    const QRectF screen(QPointF(0, 0), QSizeF(image.size()));
    for (auto _ : state) {
        QPainter painter(&image);
        view.drawOnScreen(painter, screen, instant);
    }
}

void clockCold(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const QRectF screen(QPointF(0, 0), QSizeF(image.size()));
    int minute = 0;
    for (auto _ : state) {
        // A new view each time: nothing is kept from the previous frame.
        const ClockView view(preset(index), scale, 0xF0A08A);
        QPainter painter(&image);
        view.drawOnScreen(painter, screen, instant.addSecs(60 * (++minute % 600)));
    }
}

// The same texts, fonts and sizes, drawn as plain text at the block's place.
void plainText(benchmark::State& state, int index, double scale)
{
    QImage image = target(scale);
    const ClockStyle& style = preset(index);
    const SmallLines lines = smallLines(style, instant);
    const QString time = style.timeParts(instant).join(QLatin1Char(':'));
    auto qtFont = [&](const FontSpec& spec) {
        QFont font = spec.font(1);
        font.setPointSizeF(spec.size * scale * 72.0 / image.logicalDpiY());
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
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                times[run.run_name.function_name] = run.GetAdjustedCPUTime();
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
            benchmark::RegisterBenchmark(("clock_warm/" + suffix).c_str(), clockWarm, index, scale)->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("clock_cold/" + suffix).c_str(), clockCold, index, scale)->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("plain_text/" + suffix).c_str(), plainText, index, scale)->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratio of CPU time to plain drawText (target under 3x for a frame)\n");
    for (int index = 0; index < 4; ++index) {
        for (const char* scale : {"scale1", "scale0.25"}) {
            const std::string suffix = std::string(names[index]) + "/" + scale;
            const double plain = reporter.times["plain_text/" + suffix];
            if (plain <= 0)
                continue;
            std::printf("%-22s warm %.2fx  cold %.2fx\n", suffix.c_str(), reporter.times["clock_warm/" + suffix] / plain,
                        reporter.times["clock_cold/" + suffix] / plain);
        }
    }
    benchmark::Shutdown();
    return 0;
}
