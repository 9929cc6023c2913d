// The wallpapers page with a big library, timed as a user meets it. Run from the build tree:
//
//   QT_QPA_PLATFORM=offscreen dbus-run-session -- bench/bench_library_page [wallpapers=1000]
//
// It makes a private library of that many wallpapers (small media files and 1024x576 PNG
// thumbnails, as imports leave them) in a temporary home, then prints:
//   - first paint: building the window's pages and painting the wallpapers page after
//     go(paneflow), median of 15 (thumbnails arrive later, off the main thread);
//   - back again: go(paneflow) from another page and the paint, median of 30;
//   - one search keystroke: typing or deleting one character and the repaint, median of 40;
//   - the longest gap of a 1 ms timer on the main thread while every thumbnail is read for a
//     fresh page and the grid scrolls from top to bottom, with the main thread's own CPU time and
//     context switches in it (on a busy machine a gap is mostly waiting for a core), the longest
//     stretch of main-thread CPU between two ticks, and the thumbnail memory at its peak;
//   - the detail preview's CPU time while it plays a 10-second 1080p30 H.264 clip for 10
//     seconds, against `ffmpeg -i clip -f null -` decoding the same clip (the ratio of the
//     medians of three runs each), and against the same decode held to the clip's speed (-re).
#include "app/app_services.h"
#include "../tests/support/cpu_time.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/store_library_service.h"
#include "app/ui/app_style.h"
#include "app/ui/main_view.h"
#include "app/ui/view_registry.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "library/ui/library_page.h"
#include "media/thumbnail_cache.h"
#include "library/ui/video_preview.h"
#include "library/ui/wallpaper_grid.h"
#include "platform/defaults.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/process_identity.h"
#include "platform/workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QTimer>

#include <sys/resource.h>
#include <ctime>

#include <algorithm>
#include <utility>
#include <cstdio>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Waits without spinning, so the process's CPU time is the work measured.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Context switches of the calling thread: {voluntary (it waited), involuntary (preempted)}.
std::pair<long, long> switches()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_nvcsw, usage.ru_nivcsw};
}

void settle(int ms = 0)
{
    QElapsedTimer timer;
    timer.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (timer.elapsed() < ms);
}

void makeLibrary(const LibraryLocations& where, int count)
{
    QDir().mkpath(where.videos());
    QDir().mkpath(where.thumbnails());
    QList<Wallpaper> items;
    QList<Ensemble> ensembles;
    const QStringList words{"Beach", "Forest", "Night", "Harbour", "Dune", "Aurora", "Canyon", "Rain", "Neon", "Meadow"};
    for (int i = 0; i < count; ++i) {
        const bool picture = i % 5 == 0;
        const QString name = words[i % words.size()] + QLatin1Char(' ') + QString::number(i + 1);
        Wallpaper item{QUuid::createUuid(), name, name + (picture ? QStringLiteral(".png") : QStringLiteral(".mp4"))};
        QFile media(where.videos() + QLatin1Char('/') + item.fileName);
        media.open(QIODevice::WriteOnly);
        media.write(QByteArray(1024, 'm'));
        QImage thumbnail(1024, 576, QImage::Format_RGB32);
        QPainter painter(&thumbnail);
        QLinearGradient gradient(0, 0, 1024, 576);
        gradient.setColorAt(0, QColor::fromHsv((i * 37) % 360, 140, 200));
        gradient.setColorAt(1, QColor::fromHsv((i * 37 + 120) % 360, 180, 60));
        painter.fillRect(thumbnail.rect(), gradient);
        painter.end();
        thumbnail.save(where.thumbnailPath(item.id));
        items << item;
        if (i % 3 == 0)
            ensembles << Ensemble{QUuid::createUuid(), name, item.id};
    }
    LibraryFiles::writeIndex(where, items, ensembles);
}

// The detail preview against ffmpeg decoding the same clip.
int measurePreview(const QString& dir)
{
    const QString clip = dir + QStringLiteral("/clip1080.mp4");
    QProcess make;
    make.start(QStringLiteral("ffmpeg"), {"-y", "-v", "error", "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30:duration=10", "-c:v",
                                          "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", clip});
    if (!make.waitForFinished(300000) || make.exitCode() != 0) {
        std::printf("preview: could not make the 1080p clip with ffmpeg\n");
        return 0;
    }
    // Both sides three times, compared by their medians: one run of either varies by some 10 %
    // on a shared machine.
    constexpr int runs = 3;
    QList<double> ffmpegCpu, pacedCpu, previewCpu, perFrame;
    auto ffmpegDecode = [&](QStringList arguments) {
        const double childBefore = cpuSeconds(RUSAGE_CHILDREN);
        QProcess decode;
        decode.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error"} + arguments + QStringList{"-i", clip, "-f", "null", "-"});
        decode.waitForFinished(300000);
        return cpuSeconds(RUSAGE_CHILDREN) - childBefore;
    };
    for (int run = 0; run < runs; ++run) {
        ffmpegCpu.push_back(ffmpegDecode({}));
        // The same decode held to the clip's own speed (-re), as a player runs: a process that
        // sleeps between frames wakes to cold caches, which costs CPU of its own.
        pacedCpu.push_back(ffmpegDecode({"-re"}));
    }
    for (int run = 0; run < runs; ++run) {
        VideoPreview preview(clip);
        preview.resize(960, 540);
        settle();
        const double before = cpuSeconds(RUSAGE_SELF);
        preview.show();
        idle(10000);
        const int frames = preview.framesShown();
        preview.hide();
        previewCpu.push_back(cpuSeconds(RUSAGE_SELF) - before);
        perFrame.push_back(frames > 0 ? previewCpu.back() / frames : 0.0);
        std::printf("preview run %d: %d frames shown, %.2f s CPU; ffmpeg -f null run %d: %.2f s, with -re %.2f s CPU for 300 frames\n", run + 1, frames,
                    previewCpu.back(), run + 1, ffmpegCpu[run], pacedCpu[run]);
    }
    const double ffmpegMedian = median(ffmpegCpu);
    // The preview may drop frames on a busy machine: the ratio per frame shown says what a frame costs.
    std::printf("preview of 10 s of 1080p30 at 960x540, medians of %d: %.2f s CPU against ffmpeg's %.2f s; ratio %.2f (per frame %.2f)\n",
                runs, median(previewCpu), ffmpegMedian, ffmpegMedian > 0 ? median(previewCpu) / ffmpegMedian : 0.0,
                ffmpegMedian > 0 ? median(perFrame) / (ffmpegMedian / 300) : 0.0);
    std::printf("against ffmpeg -re (decoding at the clip's speed), median %.2f s CPU: ratio %.2f\n", median(pacedCpu),
                median(pacedCpu) > 0 ? median(previewCpu) / median(pacedCpu) : 0.0);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (home.path() + QStringLiteral("/") + QString::fromLatin1(name)).toUtf8());
    QApplication app(argc, argv);
    // The control app's style, so the page paints as it does for a user.
    AppStyle::apply(app);
    ProcessIdentity::set(Zentrove::bundleID());
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    // "bench_library_page N preview" measures the preview only.
    if (argc > 2 && QByteArray(argv[2]) == "preview")
        return measurePreview(home.path());

    LibraryLocations where = LibraryLocations::standard();
    where.shippedWallpapers = home.path() + QStringLiteral("/shipped");
    Defaults& prefs = Defaults::domain(Zentrove::paneflowID());
    const QVariantList tags{"Eclipse", "Graphite", "Infinity", "Frog Pond"};
    prefs.set(QStringLiteral("seededWallpapers"), tags);
    prefs.set(QStringLiteral("seededEnsembles"), tags);
    std::printf("making a library of %d wallpapers...\n", count);
    makeLibrary(where, count);

    auto service = std::make_shared<StoreLibraryService>(std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, where, LibraryServices{}));
    LibraryStore& store = service->store();
    AppServices services;
    services.library = service;
    std::unique_ptr<LoginItems> loginItems = LoginItems::makeSystem();
    std::unique_ptr<Workspace> workspace = Workspace::makeSystem();
    std::unique_ptr<Launcher> launcher = Launcher::makeSystem();
    PartsModel model(*loginItems, *workspace, *launcher, *services.safety, *services.install);
    std::printf("library: %lld wallpapers\n", qlonglong(store.items().size()));

    // First paint: the window's pages built, then go(paneflow) and the paint.
    QList<double> firstPaint;
    for (int run = 0; run < 15; ++run) {
        Navigation nav;
        QElapsedTimer timer;
        timer.start();
        auto view = std::make_unique<MainView>(ViewContext{model, nav, services}, ViewRegistry::standard());
        view->resize(1280, 820);
        view->show();
        nav.go(Page::paneflow);
        view->repaint();
        firstPaint << timer.nsecsElapsed() / 1e6;
        view.reset();
        settle();
    }

    Navigation nav;
    MainView view(ViewContext{model, nav, services}, ViewRegistry::standard());
    view.resize(1280, 820);
    view.show();
    nav.go(Page::paneflow);
    view.repaint();
    auto* page = qobject_cast<LibraryPage*>(view.page(Page::paneflow));
    if (!page) {
        std::fprintf(stderr, "the wallpapers page is not built\n");
        return 1;
    }
    settle(300);

    QList<double> back;
    for (int run = 0; run < 30; ++run) {
        nav.go(Page::settings);
        view.repaint();
        settle();
        QElapsedTimer timer;
        timer.start();
        nav.go(Page::paneflow);
        view.repaint();
        back << timer.nsecsElapsed() / 1e6;
    }

    // One keystroke: type "e", then delete it, and so on.
    QLineEdit* search = page->grid()->searchField();
    QList<double> keystroke;
    for (int run = 0; run < 40; ++run) {
        settle();
        QElapsedTimer timer;
        timer.start();
        const bool erase = run % 2;
        QKeyEvent press(QEvent::KeyPress, erase ? Qt::Key_Backspace : Qt::Key_E, Qt::NoModifier, erase ? QString() : QStringLiteral("e"));
        QApplication::sendEvent(search, &press);
        QKeyEvent release(QEvent::KeyRelease, erase ? Qt::Key_Backspace : Qt::Key_E, Qt::NoModifier, erase ? QString() : QStringLiteral("e"));
        QApplication::sendEvent(search, &release);
        view.repaint();
        keystroke << timer.nsecsElapsed() / 1e6;
    }
    search->clear();

    std::printf("first paint after go(paneflow), pages built:  median %.1f ms (min %.1f, max %.1f)\n", median(firstPaint),
                *std::min_element(firstPaint.begin(), firstPaint.end()), *std::max_element(firstPaint.begin(), firstPaint.end()));
    std::printf("go(paneflow) again and paint:                 median %.1f ms\n", median(back));
    std::printf("one search keystroke, refilter and repaint:   median %.1f ms (max %.1f)\n", median(keystroke),
                *std::max_element(keystroke.begin(), keystroke.end()));

    // Scrolling a fresh page top to bottom while every thumbnail loads.
    {
        LibraryPage fresh(store, {});
        fresh.resize(1280, 820);
        fresh.show();
        settle();
        WallpaperGrid* grid = fresh.grid()->grid();
        QScrollBar* bar = grid->verticalScrollBar();
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        double lastCpu = threadCpuMs();
        double longest = 0;
        double longestCpu = 0; // the main thread's own work between two ticks (not waiting for a core)
        double cpuOfLongest = 0;
        std::pair<long, long> lastSwitches = switches();
        std::pair<long, long> switchesOfLongest{0, 0};
        int over50 = 0;
        int over50Cpu = 0;
        qint64 peakBytes = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            const double nowCpu = threadCpuMs();
            const std::pair<long, long> nowSwitches = switches();
            if ((now - last) / 1e6 > longest) {
                longest = (now - last) / 1e6;
                cpuOfLongest = nowCpu - lastCpu;
                switchesOfLongest = {nowSwitches.first - lastSwitches.first, nowSwitches.second - lastSwitches.second};
            }
            over50 += (now - last) / 1e6 > 50;
            over50Cpu += nowCpu - lastCpu > 50;
            lastSwitches = nowSwitches;
            longestCpu = std::max(longestCpu, nowCpu - lastCpu);
            last = now;
            lastCpu = nowCpu;
            peakBytes = std::max(peakBytes, fresh.grid()->thumbnails().bytes());
        });
        QTimer scroll;
        scroll.setInterval(16);
        QObject::connect(&scroll, &QTimer::timeout, [&] { bar->setValue(bar->value() + 90); });
        tick.start();
        scroll.start();
        while (bar->value() < bar->maximum())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        scroll.stop();
        settle(500);
        tick.stop();
        std::printf("scrolled %d px in %.1f s; longest main-thread gap %.1f ms (main-thread CPU in it %.1f ms, %ld waits, "
                    "%ld preemptions); gaps over 50 ms: %d; longest main-thread CPU between two ticks %.1f ms (over 50 ms: %d); "
                    "thumbnail memory peak %.1f MB (bound %.0f MB)\n",
                    bar->maximum(), clock.elapsed() / 1000.0, longest, cpuOfLongest, switchesOfLongest.first, switchesOfLongest.second,
                    over50, longestCpu, over50Cpu, peakBytes / 1048576.0, fresh.grid()->thumbnails().maxBytes() / 1048576.0);
    }

    return measurePreview(home.path());
}
