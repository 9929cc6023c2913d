// What the live wallpaper costs on the desktop, measured side by side in one run on a private X
// server (Xvfb): the player's CPU time over 20 s of a 1080p30 H.264 clip on one display against
// `ffmpeg -threads N -i clip -t 20 -f null -` (the decode alone, the floor; each the median of
// three runs), on two displays showing the same clip, while paused (and, for comparison, one
// display painted as it is without memory shared with the X server), and (with --long) the
// resident memory after one and after ten minutes of looping a 10-second clip. Each case runs in
// a child process of its own, so its CPU time is its own. Needs Xvfb and the ffmpeg command line.
//
//   bench/bench_player                 the CPU cases (about three minutes)
//   bench/bench_player --long          the memory case too (ten more minutes)
//   bench/bench_player --threads 1     decoder threads for both sides (default 2)
//   bench/bench_player --4k            a 3840x2160 clip on the same 1920x1080 displays
#include "../tests/wallpaper/xvfb_server.h"
#include "../tests/support/cpu_time.h"

#include "core/zentrove.h"
#include "library/library_store.h"
#include "platform/desktop_layer.h"
#include "platform/process_identity.h"
#include "platform/screen_areas.h"
#include "platform/screens.h"
#include "wallpaper/player/desktop_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>


#include <cstdio>
#include <algorithm>
#include <vector>

namespace {

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// One case in this (child) process: plays `clip` on `displays` 1920x1080 displays for `seconds`
// and prints its CPU time (and resident memory at `sampleAt` seconds when asked).
int playCase(int argc, char* argv[], const QString& clip, int displays, bool paused, int seconds, int threads, int sampleAt)
{
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ProcessIdentity::set(Zentrove::paneflowID());
    const LibraryLocations where {home.filePath(QStringLiteral("Paneflow")), home.filePath(QStringLiteral("shipped"))};
    QDir().mkpath(where.videos());
    QFile::copy(clip, where.videos() + QStringLiteral("/clip.mp4"));
    LibraryStore store(Zentrove::paneflowID(), true, where, LibraryServices {});
    const Wallpaper item {QUuid::createUuid(), QStringLiteral("Clip"), QStringLiteral("clip.mp4")};
    store.addWallpaper(item, false);
    store.setCurrentID(item.id);
    QList<ScreenInfo> screens;
    QHash<quint32, QRect> areas;
    for (int i = 0; i < displays; ++i) {
        screens.append(ScreenInfo {quint32(i + 1), QStringLiteral("00000000-0000-0000-0000-00000000000%1").arg(i + 1), QStringLiteral("d%1").arg(i)});
        areas.insert(quint32(i + 1), QRect(i * 1920, 0, 1920, 1080));
    }
    ScreenAreas::setOverride(areas);
    Screens::setOverride(screens);

    DesktopPlayer player(store, DesktopLayer::system(), nullptr, threads);
    if (paused) {
        // The first frame on screen, then nothing more.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        player.setPaused(true);
    }
    const double start = cpuSeconds(RUSAGE_SELF);
    double sampled = 0;
    if (sampleAt > 0)
        QTimer::singleShot(sampleAt * 1000, [&] { sampled = residentMiB(); });
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = cpuSeconds(RUSAGE_SELF) - start;
    const qint64 frames = player.decoder(store.mediaPath(item)) ? player.decoder(store.mediaPath(item))->framesDecoded() : -1;
    std::printf("cpu=%.3f frames=%lld rss_sampled=%.1f rss_end=%.1f\n", cpu, frames, sampled, residentMiB());
    return 0;
}

struct Figures
{
    double cpu = -1;
    qint64 frames = -1;
    double rssSampled = 0;
    double rssEnd = 0;
};

Figures runChild(const QStringList& arguments, const QByteArray& display, bool painted = false)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    if (painted)
        environment.insert(QStringLiteral("ZENTROVE_NO_SHARED_PICTURES"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    Figures figures;
    for (const QString& field : QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '))) {
        const QString key = field.section(QLatin1Char('='), 0, 0);
        const QString value = field.section(QLatin1Char('='), 1);
        if (key == QLatin1String("cpu"))
            figures.cpu = value.toDouble();
        else if (key == QLatin1String("frames"))
            figures.frames = value.toLongLong();
        else if (key == QLatin1String("rss_sampled"))
            figures.rssSampled = value.toDouble();
        else if (key == QLatin1String("rss_end"))
            figures.rssEnd = value.toDouble();
    }
    return figures;
}

bool ffmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments);
    return process.waitForFinished(-1) && process.exitCode() == 0;
}

QStringList clipArguments(const QString& out, int seconds, const QString& size = QStringLiteral("1920x1080"))
{
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("testsrc2=size=%1:rate=30:duration=%2").arg(size).arg(seconds), QStringLiteral("-c:v"), QStringLiteral("libx264"),
            QStringLiteral("-preset"), QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), out};
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list.append(QString::fromLocal8Bit(argv[i]));
        return list;
    }();
    if (arguments.value(0) == QLatin1String("--child"))
        return playCase(argc, argv, arguments.value(1), arguments.value(2).toInt(), arguments.value(3) == QLatin1String("paused"),
                        arguments.value(4).toInt(), arguments.value(5).toInt(), arguments.value(6).toInt());

    QCoreApplication app(argc, argv);
    const bool longCase = arguments.contains(QStringLiteral("--long"));
    const int threadsAt = int(arguments.indexOf(QStringLiteral("--threads")));
    const int threads = threadsAt >= 0 ? arguments.value(threadsAt + 1).toInt() : 2;
    XvfbServer server;
    if (!server.start(QSize(3840, 1080))) {
        std::fprintf(stderr, "Xvfb is needed\n");
        return 1;
    }
    QTemporaryDir work;
    const bool fourK = arguments.contains(QStringLiteral("--4k"));
    const QString clip = work.filePath(QStringLiteral("clip30.mp4"));
    if (!ffmpeg(clipArguments(clip, 20, fourK ? QStringLiteral("3840x2160") : QStringLiteral("1920x1080")))) {
        std::fprintf(stderr, "ffmpeg could not make the clip\n");
        return 1;
    }
    const QString threadText = QString::number(threads);

    // The floor and the one-display case three times each, compared by their medians: a single
    // run of either varies by some 10 % on a shared machine.
    std::vector<double> floors;
    std::vector<Figures> ones;
    for (int run = 0; run < 3; ++run) {
        const double before = cpuSeconds(RUSAGE_CHILDREN);
        ffmpeg({QStringLiteral("-threads"), threadText, QStringLiteral("-i"), clip, QStringLiteral("-t"), QStringLiteral("20"), QStringLiteral("-f"),
                QStringLiteral("null"), QStringLiteral("-")});
        floors.push_back(cpuSeconds(RUSAGE_CHILDREN) - before);
        ones.push_back(runChild({QStringLiteral("--child"), clip, QStringLiteral("1"), QStringLiteral("playing"), QStringLiteral("20"), threadText, QStringLiteral("0")},
                                server.display()));
    }
    std::sort(floors.begin(), floors.end());
    std::sort(ones.begin(), ones.end(), [](const Figures& a, const Figures& b) { return a.cpu < b.cpu; });
    const double decodeFloor = floors[1];
    const Figures one = ones[1];
    const Figures two = runChild({QStringLiteral("--child"), clip, QStringLiteral("2"), QStringLiteral("playing"), QStringLiteral("20"), threadText, QStringLiteral("0")}, server.display());
    // For comparison: every frame painted into the window's own buffer, as without shared memory.
    const Figures painted = runChild({QStringLiteral("--child"), clip, QStringLiteral("1"), QStringLiteral("playing"), QStringLiteral("20"), threadText, QStringLiteral("0")}, server.display(), true);
    const Figures paused = runChild({QStringLiteral("--child"), clip, QStringLiteral("1"), QStringLiteral("paused"), QStringLiteral("20"), threadText, QStringLiteral("0")}, server.display());

    std::printf("clip: %s at 30 frames a second on 1920x1080 displays; decoder threads: %d\n", fourK ? "3840x2160" : "1920x1080", threads);
    std::printf("ffmpeg decode of 20 s (floor):   %.2f s CPU (median of %.2f, %.2f, %.2f)\n", decodeFloor, floors[0], floors[1], floors[2]);
    std::printf("player, one display, 20 s:       %.2f s CPU, %lld frames  -> %.2fx the floor (median of %.2f, %.2f, %.2f)\n", one.cpu,
                one.frames, one.cpu / decodeFloor, ones[0].cpu, ones[1].cpu, ones[2].cpu);
    std::printf("  the same, painted (no shared memory): %.2f s CPU, %lld frames  -> %.2fx the floor\n", painted.cpu, painted.frames, painted.cpu / decodeFloor);
    std::printf("player, two displays, 20 s:      %.2f s CPU, %lld frames  -> %.2fx one display\n", two.cpu, two.frames, two.cpu / one.cpu);
    std::printf("player, paused, 20 s:            %.3f s CPU -> %.2f %% of one core\n", paused.cpu, paused.cpu / 20 * 100);

    if (longCase) {
        const QString tenSeconds = work.filePath(QStringLiteral("clip10s.mp4"));
        if (!ffmpeg(clipArguments(tenSeconds, 10)))
            return 1;
        const Figures memory = runChild({QStringLiteral("--child"), tenSeconds, QStringLiteral("1"), QStringLiteral("playing"), QStringLiteral("600"), threadText, QStringLiteral("60")}, server.display());
        std::printf("resident memory after 1 min:     %.1f MiB\n", memory.rssSampled);
        std::printf("resident memory after 10 min:    %.1f MiB -> %+.1f %%\n", memory.rssEnd, (memory.rssEnd / memory.rssSampled - 1) * 100);
    }
    return 0;
}
