#include "clip_maker.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace ClipMaker {

namespace {

QByteArray run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(300000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

} // namespace

bool ffmpeg(const QStringList& arguments, const QString& output)
{
    QDir().mkpath(QFileInfo(output).absolutePath());
    int exitCode = -1;
    run(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-y"), QStringLiteral("-v"), QStringLiteral("error")} + arguments + QStringList{output}, &exitCode);
    return exitCode == 0 && QFileInfo(output).size() > 0;
}

bool pattern(const QString& output, const QString& size, int rate, double seconds, const QStringList& encoder)
{
    const QString source = QStringLiteral("testsrc2=size=%1:rate=%2:duration=%3").arg(size).arg(rate).arg(seconds);
    return ffmpeg(QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source} + encoder, output);
}

QJsonObject probe(const QString& path, const QStringList& extra)
{
    const QByteArray json = run(QStringLiteral("ffprobe"),
                                QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                                            QStringLiteral("json"), QStringLiteral("-show_format"),
                                            QStringLiteral("-show_streams")}
                                    + extra + QStringList{path});
    return QJsonDocument::fromJson(json).object();
}

QJsonObject videoStream(const QJsonObject& probed)
{
    for (const QJsonValue& stream : probed.value(QStringLiteral("streams")).toArray())
        if (stream.toObject().value(QStringLiteral("codec_type")).toString() == QLatin1String("video"))
            return stream.toObject();
    return {};
}

qint64 countPackets(const QString& path)
{
    const QByteArray out = run(QStringLiteral("ffprobe"),
                               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
                                QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                QStringLiteral("stream=nb_read_packets"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
    bool ok = false;
    const qint64 count = out.trimmed().toLongLong(&ok);
    return ok ? count : -1;
}

QStringList storedPackets(const QString& path)
{
    const QByteArray out = run(QStringLiteral("ffmpeg"),
                               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-ignore_editlist"), QStringLiteral("1"),
                                QStringLiteral("-i"), path, QStringLiteral("-map"), QStringLiteral("0:v:0"), QStringLiteral("-c"),
                                QStringLiteral("copy"), QStringLiteral("-f"), QStringLiteral("framemd5"), QStringLiteral("-")});
    QStringList packets;
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (line.startsWith("#extradata"))
            packets.append(QString::fromLatin1(line.simplified()));
        else if (!line.startsWith('#') && fields.size() == 6) // stream, dts, pts, duration, size, hash
            packets.append(QString::fromLatin1(fields[4].trimmed() + ' ' + fields[5].trimmed()));
    }
    return packets;
}

QString frameHash(const QString& path, double seconds)
{
    const QByteArray out = run(QStringLiteral("ffmpeg"),
                               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-ss"), QString::number(seconds),
                                QStringLiteral("-i"), path, QStringLiteral("-frames:v"), QStringLiteral("1"),
                                QStringLiteral("-f"), QStringLiteral("md5"), QStringLiteral("-")});
    return QString::fromLatin1(out.trimmed());
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace ClipMaker
