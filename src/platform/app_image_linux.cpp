#include "platform/app_image.h"

#include <QFileInfo>
#include <QProcess>

std::optional<QString> AppImage::current()
{
    const QString path = qEnvironmentVariable("APPIMAGE");
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    return QFileInfo(path).absoluteFilePath();
}

bool AppImage::startAfterExit(const QString& program, const QStringList& arguments, qint64 pid)
{
    // The script sees the pid and the program as positional parameters, quoted by "$@".
    static const QString script = QStringLiteral(
        "pid=$1; shift; n=0; "
        "while kill -0 \"$pid\" 2>/dev/null && [ $n -lt 300 ]; do sleep 0.1; n=$((n+1)); done; "
        "exec \"$@\"");
    return QProcess::startDetached(QStringLiteral("/bin/sh"),
                                   QStringList {QStringLiteral("-c"), script, QStringLiteral("sh"), QString::number(pid), program} + arguments);
}
