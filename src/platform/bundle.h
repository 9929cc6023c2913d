#pragma once

#include <QString>

// Where the control app and its parts live. The installed layout and the build tree look alike:
//   <hub>/bin/zentrove                the control app
//   <hub>/libexec/zentrove/zentrove-* the part agents (the login items)
//   <hub>/share/zentrove/             resources (shipped wallpapers, fonts, ...)
// The control app finds the hub one level above its own folder, a part two levels above its
// own; ZENTROVE_HUB in the environment overrides both (tests point it at the build tree or at
// a made-up install).
class Bundle
{
public:
    static QString hubPath();
    static QString appExecutable();
    static QString loginItemsFolder();
    static QString resourcesFolder();
    static QString shippedWallpapersFolder();
    // The agent that runs as `identifier`: "zentrove-" followed by the identifier's last label.
    static QString agentExecutable(const QString& identifier);
    // The build number of this build; a change restarts the running parts.
    static QString buildNumber();
    static QString version();
    // Whether the distribution's package manager installed this app: the package's file list
    // (dpkg's, unless `packageFileList` names another) lists the app's executable.
    static bool installedByPackage(const QString& packageFileList = QStringLiteral("/var/lib/dpkg/info/zentrove.list"));
};
