#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Test media made with the ffmpeg command line, and facts about outputs read back with ffprobe,
// so the checks do not depend on the code under test.
namespace ClipMaker {

// Runs `ffmpeg -y <arguments> <output>`; true when it succeeded and the file exists.
bool ffmpeg(const QStringList& arguments, const QString& output);
// A test pattern: `size` like "320x240", `rate` frames per second, `seconds` long, with extra
// encoder arguments (default: H.264).
bool pattern(const QString& output, const QString& size, int rate, double seconds,
             const QStringList& encoder = {QStringLiteral("-c:v"), QStringLiteral("libx264"),
                                           QStringLiteral("-preset"), QStringLiteral("ultrafast"),
                                           QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")});

// ffprobe -show_format -show_streams as JSON.
QJsonObject probe(const QString& path, const QStringList& extra = {});
// The first video stream of probe().
QJsonObject videoStream(const QJsonObject& probed);
// Number of video packets the demuxer yields (edit lists honoured).
qint64 countPackets(const QString& path);
// The stored samples once each, edit lists ignored: the codec setup's and every packet's size
// and MD5, as ffmpeg's framemd5 of a stream copy lists them. Equal lists mean untouched data.
QStringList storedPackets(const QString& path);
// MD5 of the decoded frame shown at `seconds`.
QString frameHash(const QString& path, double seconds);
// Files in a folder, names only.
QStringList filesIn(const QString& folder);

} // namespace ClipMaker
