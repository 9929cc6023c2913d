#include "platform/system_wallpaper_agent.h"

#include <QProcess>

QString SystemWallpaperAgent::bundledEntriesPath()
{
    return QStringLiteral("/System/Library/ExtensionKit/Extensions/WallpaperAerialsExtension.appex/Contents/Resources/entries.json");
}

void SystemWallpaperAgent::restart()
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/killall"), {QStringLiteral("WallpaperAgent")});
    process.waitForFinished(10000);
}
