// The ensembles page: first paint with many ensembles, a click's hero update, and applying an
// ensemble to the running live-wallpaper agent.
//
//   QT_QPA_PLATFORM=offscreen dbus-run-session -- build/bench/bench_ensembles_page [ROUNDS]
//
// Prints the median and the 90th percentile of each, in milliseconds, as wall time and as the
// main thread's CPU time (the second says what the page costs when the machine is busy):
//   first paint: building the page over 500 ensembles and painting the window once (thumbnails are
//                read off the main thread and arrive later; the page does not wait for them);
//   click:       a single click on a card until the hero, with its bar or clock miniature, is
//                painted again;
//   apply:       a double click on a card until the agent's line saying it shows that ensemble
//                has been read here (the agent reloads on the notice, as the notice benchmark
//                measures it, plus the time the line takes through the pipe).
#include "app/ensembles_model.h"
#include "app/navigation.h"
#include "app/ui/app_style.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/ensembles_page.h"
#include "app/ui/look_preview.h"
#include "brand/brand.h"
#include "build_info.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/settings_store.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void report(const char* what, std::vector<double> ms, std::vector<double> cpu)
{
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    const auto p90 = [](const std::vector<double>& v) { return v[std::min(v.size() - 1, v.size() * 9 / 10)]; };
    std::printf("%-12s wall median %8.2f ms  p90 %8.2f ms | main-thread CPU median %8.2f ms  p90 %8.2f ms  (%zu rounds)\n", what,
                ms[ms.size() / 2], p90(ms), cpu[cpu.size() / 2], p90(cpu), ms.size());
}

// 500 ensembles over 25 pictures, each ensemble with one of the shipped presets and bar styles.
QList<Ensemble> writeLibrary(const StyleStore& clocks, const SettingsStore& taskbar)
{
    const LibraryLocations where = LibraryLocations::standard();
    QDir().mkpath(where.videos());
    QDir().mkpath(where.thumbnails());
    QList<Wallpaper> items;
    for (int i = 0; i < 25; ++i) {
        Wallpaper item {QUuid::createUuid(), QStringLiteral("Picture %1").arg(i), QStringLiteral("Picture %1.png").arg(i)};
        QImage picture(640, 400, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 14 % 360, 120, 160));
        picture.save(where.videos() + QLatin1Char('/') + item.fileName);
        picture.save(where.thumbnailPath(item.id));
        items << item;
    }
    QList<Ensemble> ensembles;
    for (int i = 0; i < 500; ++i) {
        Ensemble e {QUuid::createUuid(), QStringLiteral("Ensemble %1").arg(i), items.at(i % items.size()).id};
        e.clockPreset = clocks.customPresets().at(i % clocks.customPresets().size()).id;
        e.taskbarTheme = taskbar.themes().at(i % taskbar.themes().size()).id;
        ensembles << e;
    }
    LibraryFiles::writeIndex(where, items, ensembles);
    Defaults& prefs = Defaults::domain(Zentrove::paneflowID());
    prefs.set(QStringLiteral("currentEnsembleID"), ensembles.first().id.toString(QUuid::WithoutBraces).toUpper());
    prefs.set(QStringLiteral("startedOnFirstEnsemble"), true);
    return ensembles;
}

bool waitForLine(QProcess& agent, const QByteArray& text, QByteArray& seen)
{
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        seen += agent.readAllStandardError();
        const qsizetype at = seen.indexOf(text);
        if (at >= 0) {
            seen.remove(0, at + text.size());
            return true;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        agent.waitForReadyRead(1);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, dir.path().toUtf8() + '/' + name);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 30;
    ProcessIdentity::set(Zentrove::bundleID());
    Brand::registerFonts();
    AppStyle::apply(app);

    StyleStore clocks(Defaults::domain(Zentrove::vizaVedidID()));
    SettingsStore taskbar(Defaults::domain(Zentrove::taskbarID()), true);
    const QList<Ensemble> ensembles = writeLibrary(clocks, taskbar);
    LibraryStore library(Zentrove::paneflowID(), false);
    Navigation nav;

    // First paint.
    std::vector<double> firstPaint, firstPaintCpu;
    for (int i = 0; i < std::max(5, rounds / 3); ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadCpuMs();
        EnsemblesModel model(library, clocks, taskbar, nav);
        EnsemblesPage page(model);
        page.resize(1100, 760);
        page.show();
        QImage frame(page.size(), QImage::Format_ARGB32_Premultiplied);
        page.render(&frame);
        firstPaint.push_back(timer.nsecsElapsed() / 1e6);
        firstPaintCpu.push_back(threadCpuMs() - cpu);
        // The rest of the gallery is made on later turns; let it finish before the next round.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    report("first paint", firstPaint, firstPaintCpu);

    // A click: the hero follows, miniature included.
    {
        EnsemblesModel model(library, clocks, taskbar, nav);
        EnsemblesPage page(model);
        page.resize(1100, 760);
        page.show();
        EnsembleCard::picture(library.thumbnailPath(ensembles.first().wallpaper), 1024, library.thumbnailVersion());
        QImage frame(page.hero()->size(), QImage::Format_ARGB32_Premultiplied);
        std::vector<double> clicks, clicksCpu;
        for (int i = 0; i < rounds * 4; ++i) {
            // Every other click shows the lock screen, so both miniatures are timed.
            model.setPlace(i % 4 < 2 ? LookPlace::desktop : LookPlace::lockScreen);
            EnsembleCard* card = page.card(ensembles.at(1 + i % 40).id);
            QElapsedTimer timer;
            timer.start();
            const double cpu = threadCpuMs();
            QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(40, 40));
            page.hero()->render(&frame);
            clicks.push_back(timer.nsecsElapsed() / 1e6);
            clicksCpu.push_back(threadCpuMs() - cpu);
        }
        report("click", clicks, clicksCpu);
    }

    // Applying to the running agent.
    QProcess agent;
    agent.start(Bundle::agentExecutable(Zentrove::paneflowID()));
    QByteArray seen;
    if (!waitForLine(agent, "running", seen)) {
        std::fprintf(stderr, "the live-wallpaper agent did not start (is there a session bus?)\n");
        return 1;
    }
    {
        EnsemblesModel model(library, clocks, taskbar, nav);
        EnsemblesPage page(model);
        page.resize(1100, 760);
        page.show();
        std::vector<double> applies, appliesCpu;
        for (int i = 0; i < rounds; ++i) {
            const Ensemble& e = ensembles.at(1 + i % 60);
            EnsembleCard* card = page.card(e.id);
            QElapsedTimer timer;
            timer.start();
            const double cpu = threadCpuMs();
            QTest::mouseDClick(card, Qt::LeftButton, {}, QPoint(40, 40));
            if (!waitForLine(agent, "showing the ensemble " + e.id.toString(QUuid::WithoutBraces).toUpper().toLatin1(), seen)) {
                std::fprintf(stderr, "round %d: the agent did not follow\n", i);
                return 1;
            }
            applies.push_back(timer.nsecsElapsed() / 1e6);
            appliesCpu.push_back(threadCpuMs() - cpu);
        }
        report("apply", applies, appliesCpu);
    }
    agent.terminate();
    agent.waitForFinished(5000);
    return 0;
}
