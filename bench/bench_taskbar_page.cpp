// The taskbar page's two costs a person feels, each as a median over many rounds:
//   first paint:  the page with 40 bar styles from building it to its first painted frame, folded
//                 (the cards shown before "Show all") and unfolded (all 40 mini bars)
//   agent reload: from a slider step in the style editor to the running taskbar agent having
//                 reloaded its settings (its log line says so); needs the agent of the build tree
//                 and a session bus
//
//   dbus-run-session -- build/bench/bench_taskbar_page [ROUNDS]
#include "brand/brand.h"
#include "build_info.h"
#include "clock/ui/clock_controls.h"
#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/style_editor.h"
#include "taskbar/ui/taskbar_page.h"

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
        std::printf("%-30s median %7.2f ms wall  (limit %.0f ms, %zu rounds)\n", name, median(rounds.wall), limit, rounds.wall.size());
    else
        std::printf("%-30s median %7.2f ms cpu, %7.2f ms wall  (limit %.0f ms, %zu rounds)\n", name, median(rounds.cpu),
                    median(rounds.wall), limit, rounds.wall.size());
}

Rounds firstPaints(SettingsStore& store, int rounds, bool unfolded)
{
    Rounds ms;
    // The first round loads fonts and icons for the whole process; it is not counted.
    for (int i = -1; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        TaskbarPage page(store, nullptr, nullptr, [](const QString&) {});
        page.resize(1100, 820);
        if (unfolded)
            page.setUnfolded(true);
        page.show();
        page.grab();
        if (i < 0)
            continue;
        ms.cpu.push_back(cpuMs() - cpu);
        ms.wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    return ms;
}

Rounds agentReloads(int rounds)
{
    Rounds ms;
    QProcess agent;
    agent.setProcessChannelMode(QProcess::SeparateChannels);
    agent.start(Bundle::agentExecutable(Zentrove::taskbarID()), {});
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
        std::printf("agent reload: the taskbar agent did not start (run under dbus-run-session)\n");
        return ms;
    }
    SettingsStore store(Defaults::domain(Zentrove::taskbarID()), true);
    TaskbarPage page(store, nullptr);
    page.show();
    page.openEditor(QStringLiteral("layout"));
    waitFor("command holdOpen", 2000);
    SliderRow* thickness = page.editor()->controls().thickness;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        thickness->slider()->triggerAction(i % 2 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        if (!waitFor("settings reloaded", 5000)) {
            std::printf("agent reload: no reload seen\n");
            break;
        }
        ms.wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    page.closeEditor();
    agent.terminate();
    agent.waitForFinished(5000);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ProcessIdentity::set(Zentrove::bundleID());
    qputenv("ZENTROVE_HUB", QByteArrayLiteral(ZENTROVE_BINARY_DIR));
    // A private settings home, so the bench never touches the user's bar.
    QTemporaryDir home;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, home.path().toUtf8());
    Brand::registerFonts();
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 100;

    {
        SettingsStore store(Defaults::domain(Zentrove::taskbarID()), false);
        while (store.themes().size() < 40) {
            TaskbarSettings settings = Theme::builtIns().at(store.themes().size() % 4).applied(store.settings());
            settings.barHeight = 40 + store.themes().size();
            store.setSettings(settings);
            store.saveCurrentAsTheme(QStringLiteral("Style"));
        }
        report("first paint, 40 styles", firstPaints(store, std::max(5, rounds / 10), false), 150);
        report("first paint, 40 unfolded", firstPaints(store, std::max(5, rounds / 10), true), 150);
    }
    Defaults::forgetAll();
    report("slider step to agent reload", agentReloads(std::min(rounds, 60)), 50);
    return 0;
}
