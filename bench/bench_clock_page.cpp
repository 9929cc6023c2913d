// The clock page's three costs a person feels, each as a median over many rounds:
//   slider step:  one step of the editor's size slider, from the key press to the repainted preview
//                 (the store write and the preview's new clock included); 60 frames a second needs
//                 under 16 ms
//   agent reload: from a slider step in the page to the running clock agent having reloaded the
//                 style and drawn it (its log line says so); needs the agent of the build tree and a
//                 session bus
//   first paint:  the overview of 60 presets from building the page to its first painted frame,
//                 folded (the cards shown before "Show all") and unfolded (all 60)
//
//   dbus-run-session -- build/bench/bench_clock_page [ROUNDS]
#include "brand/brand.h"
#include "build_info.h"
#include "clock/presets.h"
#include "clock/style_store.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/clock_editor.h"
#include "clock/ui/clock_overview.h"
#include "clock/ui/clock_page.h"
#include "clock/ui/screen_preview.h"
#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// CPU time of every thread of this process, in ms: on a busy shared machine the wall time mostly
// measures waiting for a core.
double cpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Rounds
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* name, const Rounds& rounds, double limit)
{
    if (rounds.cpu.empty())
        std::printf("%-28s median %7.2f ms wall  (limit %.0f ms, %zu rounds)\n", name, median(rounds.wall), limit, rounds.wall.size());
    else
        std::printf("%-28s median %7.2f ms cpu, %7.2f ms wall  (limit %.0f ms, %zu rounds)\n", name, median(rounds.cpu),
                    median(rounds.wall), limit, rounds.wall.size());
}

Rounds sliderSteps(int rounds)
{
    StyleStore store(Defaults::domain(Zentrove::vizaVedidID()));
    store.applyPreset(store.customPresets().first());
    ClockPage page(store, nullptr);
    page.resize(970, 820);
    page.show();
    page.openEditor(ClockTab::time);
    QApplication::processEvents();
    SliderRow* size = page.editor()->timeTab().size;
    ScreenPreview* preview = page.editor()->preview();
    preview->repaint();
    Rounds ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        // A drag walks up and down the range one step at a time.
        size->slider()->triggerAction((i / 40) % 2 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        preview->repaint();
        ms.cpu.push_back(cpuMs() - cpu);
        ms.wall.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    return ms;
}

Rounds agentReloads(int rounds)
{
    Rounds ms;
    QProcess agent;
    agent.setProcessChannelMode(QProcess::SeparateChannels);
    agent.start(Bundle::agentExecutable(Zentrove::vizaVedidID()), {});
    const auto waitFor = [&](const QByteArray& text, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        QByteArray seen;
        while (!deadline.hasExpired()) {
            seen += agent.readAllStandardError();
            if (seen.contains(text))
                return true;
            agent.waitForReadyRead(1);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        return false;
    };
    if (!agent.waitForStarted(5000) || !waitFor("running", 10000)) {
        std::printf("agent reload: the clock agent did not start (run under dbus-run-session)\n");
        return ms;
    }
    waitFor("drawing the clock", 2000);
    StyleStore store(Defaults::domain(Zentrove::vizaVedidID()));
    ClockPage page(store, nullptr);
    page.show();
    page.openEditor(ClockTab::time);
    SliderRow* size = page.editor()->timeTab().size;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        size->slider()->triggerAction(i % 2 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        if (!waitFor("drawing the clock", 5000)) {
            std::printf("agent reload: no reload seen\n");
            break;
        }
        ms.wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    agent.terminate();
    agent.waitForFinished(5000);
    return ms;
}

Rounds firstPaints(int rounds, bool unfolded)
{
    StyleStore store(Defaults::domain(Zentrove::vizaVedidID()));
    while (store.customPresets().size() < 60) {
        ClockStyle style = Presets::builtIn().at(store.customPresets().size() % 4).style;
        style.timeFont.size += store.customPresets().size();
        store.setStyle(style);
        store.saveCurrentAsPreset(QStringLiteral("Preset"));
    }
    QApplication::processEvents();
    Rounds ms;
    // The first round loads fonts and faces for the whole process; it is not counted.
    for (int i = -1; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        ClockPage page(store, nullptr);
        page.resize(970, 820);
        if (unfolded)
            page.overview()->setUnfolded(true);
        page.show();
        page.grab();
        if (i < 0)
            continue;
        ms.cpu.push_back(cpuMs() - cpu);
        ms.wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ProcessIdentity::set(Zentrove::bundleID());
    qputenv("ZENTROVE_HUB", QByteArrayLiteral(ZENTROVE_BINARY_DIR));
    // A private settings home, so the bench never touches the user's clock.
    QTemporaryDir home;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, home.path().toUtf8());
    Brand::registerFonts();
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 200;

    report("slider step repaint", sliderSteps(rounds), 16);
    report("slider step to agent reload", agentReloads(std::min(rounds, 100)), 50);
    report("first paint, 60 presets", firstPaints(std::max(5, rounds / 10), false), 150);
    report("first paint, 60 unfolded", firstPaints(std::max(5, rounds / 10), true), 150);
    return 0;
}
