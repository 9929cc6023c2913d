#pragma once

#include <QString>

// Where the product keeps its files. Every root follows the XDG variables, so tests (and people
// who want a second profile) point them at other folders through the environment.
class Paths
{
public:
    // $XDG_CONFIG_HOME/zentrove: one property-list file per settings domain.
    static QString defaultsFolder();
    // $XDG_DATA_HOME: the counterpart of Application Support.
    static QString applicationSupport();
    // $XDG_CONFIG_HOME
    static QString configHome();
    // $XDG_CONFIG_HOME/autostart: login items.
    static QString autostartFolder();
    // $XDG_CACHE_HOME/zentrove
    static QString cacheFolder();

    // Makes the folder (and its parents) if needed; false when it cannot be made.
    static bool ensureFolder(const QString& path);
};
