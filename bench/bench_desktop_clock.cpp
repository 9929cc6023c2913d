// What the clock on the desktop costs, on a private X server (Xvfb) with two 1920x1080 displays:
// its CPU time over 60 s redrawing once a minute, and over 60 s redrawing every second. Each case
// runs in a child process of its own, so its CPU time is its own. Needs Xvfb.
//
//   bench/bench_desktop_clock                      the two cases (about two minutes)
//   bench/bench_desktop_clock --shot PATH [CLIP]   no figures: the clock over CLIP playing on both
//                                                  displays behind two ordinary windows, the
//                                                  screen saved to PATH (PNG)
#include "../tests/wallpaper/xvfb_server.h"
#include "../tests/support/cpu_time.h"

#include "brand/brand.h"
#include "clock/desktop_clock.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "platform/desktop_layer.h"
#include "platform/process_identity.h"
#include "platform/screen_areas.h"
#include "platform/screens.h"
#include "wallpaper/player/desktop_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>


#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int displayCount = 2;
const QSize displaySize(1920, 1080);

void injectDisplays()
{
    QList<ScreenInfo> screens;
    QHash<quint32, QRect> areas;
    for (int i = 0; i < displayCount; ++i) {
        screens.append(ScreenInfo {quint32(i + 1), QStringLiteral("00000000-0000-0000-0000-00000000000%1").arg(i + 1), QStringLiteral("d%1").arg(i)});
        areas.insert(quint32(i + 1), QRect(QPoint(i * displaySize.width(), 0), displaySize));
    }
    ScreenAreas::setOverride(areas);
    Screens::setOverride(screens);
}

// One case in this (child) process: the clock on both displays for `seconds`, with or without
// seconds shown; prints its CPU time. With `clip`, the clip plays under it and nothing is measured.
int clockCase(int argc, char* argv[], int seconds, bool showSeconds, const QString& clip)
{
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ProcessIdentity::set(Zentrove::vizaVedidID());
    Brand::registerFonts();
    injectDisplays();

    std::unique_ptr<LibraryStore> library;
    std::unique_ptr<DesktopPlayer> player;
    if (!clip.isEmpty()) {
        const LibraryLocations where {home.filePath(QStringLiteral("Paneflow")), home.filePath(QStringLiteral("shipped"))};
        QDir().mkpath(where.videos());
        const QString name = QFileInfo(clip).fileName();
        QFile::copy(clip, where.videos() + QLatin1Char('/') + name);
        library = std::make_unique<LibraryStore>(Zentrove::paneflowID(), true, where, LibraryServices {});
        const Wallpaper item {QUuid::createUuid(), QFileInfo(clip).completeBaseName(), name};
        library->addWallpaper(item, false);
        library->setCurrentID(item.id);
        player = std::make_unique<DesktopPlayer>(*library, DesktopLayer::system());
    }

    StyleStore store(Defaults::domain(Zentrove::vizaVedidID()));
    ClockStyle style = store.style();
    style.showSeconds = showSeconds;
    store.setStyle(style);
    store.setShowOnDesktop(true);
    // Made and first drawn before the measurement starts.
    DesktopClock clock(store, DesktopLayer::system());
    QCoreApplication::processEvents();

    const double start = cpuSeconds(RUSAGE_SELF);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("cpu=%.3f\n", cpuSeconds(RUSAGE_SELF) - start);
    return 0;
}

double runChild(const QStringList& arguments, const QByteArray& display)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    const QString out = QString::fromLatin1(child.readAllStandardOutput()).simplified();
    return out.startsWith(QLatin1String("cpu=")) ? out.mid(4).toDouble() : -1;
}

// The whole screen as the server shows it.
QImage grab(const XvfbServer& server, QSize size)
{
    const QByteArray pixels = server.pixels(QRect(QPoint(0, 0), size));
    if (pixels.size() < size.width() * size.height() * 4)
        return {};
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * size.width() * 4, size_t(size.width()) * 4);
    return image;
}

int shot(const QString& path, const QString& clip, const XvfbServer& server, QSize screen)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(server.display()));
    QProcess scene, calculator, clock;
    for (QProcess* process : {&scene, &calculator, &clock})
        process->setProcessEnvironment(environment);
    scene.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    scene.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("30"), QStringLiteral("0"), clip});
    // Ordinary windows of other programs, over both displays' clocks.
    calculator.start(QStringLiteral("xcalc"), {QStringLiteral("-geometry"), QStringLiteral("420x560+260+300")});
    clock.start(QStringLiteral("xclock"), {QStringLiteral("-geometry"), QStringLiteral("300x300+2300+120"), QStringLiteral("-update"), QStringLiteral("1")});
    QThread::sleep(12);
    const QImage image = grab(server, screen);
    for (QProcess* process : {&calculator, &clock}) {
        process->terminate();
        process->waitForFinished(3000);
    }
    scene.waitForFinished(60000);
    if (image.isNull() || !image.save(path, "PNG")) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        return 1;
    }
    std::printf("saved %s\n", qPrintable(path));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.value(0) == QLatin1String("--child"))
        return clockCase(argc, argv, arguments.value(1).toInt(), arguments.value(2) == QLatin1String("1"), arguments.value(3));

    QCoreApplication app(argc, argv);
    const QSize screen(displaySize.width() * displayCount, displaySize.height());
    XvfbServer server;
    if (!server.start(screen)) {
        std::fprintf(stderr, "Xvfb is needed\n");
        return 1;
    }
    if (arguments.value(0) == QLatin1String("--shot"))
        return shot(arguments.value(1), arguments.value(2), server, screen);

    const double minute = runChild({QStringLiteral("--child"), QStringLiteral("60"), QStringLiteral("0")}, server.display());
    const double second = runChild({QStringLiteral("--child"), QStringLiteral("60"), QStringLiteral("1")}, server.display());
    std::printf("clock on the desktop, %d displays of %dx%d, 60 s each\n", displayCount, displaySize.width(), displaySize.height());
    std::printf("  redrawn once a minute:  %.3f s CPU (%.3f %% of a core)\n", minute, minute / 60 * 100);
    std::printf("  redrawn every second:   %.3f s CPU (%.3f %% of a core, %.1f ms per redraw of both displays)\n", second,
                second / 60 * 100, second / 60 * 1000);
    return 0;
}
