// Draws the four shipped wallpapers and encodes them as short seamless HEVC loops.
// Run by the build; the movies land in share/zentrove/Wallpapers.
#include "scene.h"
#include "media/hevc_movie_writer.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <future>

namespace {

bool encode(Scene& scene, const QString& path, QSize size, int fps, int frames)
{
    HevcMovieWriter::Settings settings;
    settings.width = size.width();
    settings.height = size.height();
    settings.timeBase = AVRational{1, fps};
    settings.frameRate = AVRational{fps, 1};
    settings.bitRate = 8'000'000;
    settings.maxRate = 12'000'000;
    settings.bufferBits = 12'000'000;
    settings.preset = "superfast";

    // Written beside the target and moved into place, so an interrupted build leaves no movie
    // that looks finished.
    const QString partial = path + QStringLiteral(".partial");
    HevcMovieWriter writer;
    if (!writer.open(partial.toStdString(), settings)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), writer.error().c_str());
        return false;
    }
    Av::SwsPtr toYuv(sws_getContext(size.width(), size.height(), AV_PIX_FMT_BGRA, size.width(), size.height(),
                                    AV_PIX_FMT_YUV420P10LE, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!toYuv
        || sws_setColorspaceDetails(toYuv.get(), sws_getCoefficients(SWS_CS_ITU709), 1, sws_getCoefficients(SWS_CS_ITU709),
                                    0, 0, 1 << 16, 1 << 16) < 0) {
        std::fprintf(stderr, "%s: the scaler refuses %dx%d\n", qPrintable(path), size.width(), size.height());
        QFile::remove(partial);
        return false;
    }
    // The next frame is drawn while the current one is encoded.
    std::future<QImage> next = std::async(std::launch::async, [&] { return scene.frame(0); });
    bool ok = true;
    for (int i = 0; i < frames && ok; ++i) {
        const QImage image = next.get().convertToFormat(QImage::Format_RGB32);
        if (i + 1 < frames)
            next = std::async(std::launch::async, [&, i] { return scene.frame(double(i + 1) / frames); });
        AVFrame* canvas = writer.canvas();
        const uint8_t* planes[1] = {image.constBits()};
        const int strides[1] = {int(image.bytesPerLine())};
        // The canvas has FFmpeg's padded buffers, which the scaler's block writes need.
        ok = canvas && sws_scale(toYuv.get(), planes, strides, 0, size.height(), canvas->data, canvas->linesize) == size.height()
            && writer.write(canvas, i);
    }
    if (next.valid())
        next.wait();
    ok = ok && writer.finish();
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), writer.error().c_str());
        QFile::remove(partial);
        return false;
    }
    QFile::remove(path);
    return QFile::rename(partial, path);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication::setApplicationName(QStringLiteral("zentrove-make-wallpapers"));
    QGuiApplication::setApplicationVersion(QStringLiteral("1.0"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws and encodes the wallpapers that ship with Zentrove."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the movies."), QStringLiteral("folder"), QStringLiteral(".")});
    parser.addOption({QStringLiteral("seconds"), QStringLiteral("Length of each loop."), QStringLiteral("seconds"), QStringLiteral("4")});
    parser.addOption({QStringLiteral("fps"), QStringLiteral("Frames per second."), QStringLiteral("fps"), QStringLiteral("30")});
    parser.addOption({QStringLiteral("only"), QStringLiteral("Make only the wallpaper with this file name."), QStringLiteral("name")});
    parser.addOption({QStringLiteral("stills"), QStringLiteral("Write PNG stills at these phases (0-1, comma separated) instead of movies."),
                      QStringLiteral("phases")});
    parser.process(app);

    const QSize size(1920, 1080);
    const QString out = parser.value(QStringLiteral("out"));
    QDir().mkpath(out);
    const int fps = std::max(1, parser.value(QStringLiteral("fps")).toInt());
    const int frames = std::max(2, int(parser.value(QStringLiteral("seconds")).toDouble() * fps));

    std::vector<std::unique_ptr<Scene>> scenes;
    scenes.push_back(makeEclipse(size));
    scenes.push_back(makeGraphite(size));
    scenes.push_back(makeInfinity(size));
    scenes.push_back(makeFrogPond(size));

    bool ok = true;
    for (const auto& scene : scenes) {
        if (parser.isSet(QStringLiteral("only")) && scene->fileName() != parser.value(QStringLiteral("only")))
            continue;
        const QString path = out + QLatin1Char('/') + scene->fileName();
        QElapsedTimer timer;
        timer.start();
        if (parser.isSet(QStringLiteral("stills"))) {
            for (const QString& phase : parser.value(QStringLiteral("stills")).split(QLatin1Char(','))) {
                const QString still = path.chopped(4) + QStringLiteral("-") + phase + QStringLiteral(".png");
                ok = scene->frame(phase.toDouble()).save(still) && ok;
            }
        } else {
            ok = encode(*scene, path, size, fps, frames) && ok;
        }
        std::printf("%s: %.1f s\n", qPrintable(scene->fileName()), timer.elapsed() / 1000.0);
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
