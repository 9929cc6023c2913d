#include "platform/paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString xdgFolder(const char* variable, const QString& fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    // XDG says relative values are invalid and must be ignored.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + fallbackBelowHome);
}

} // namespace

QString Paths::defaultsFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/zentrove");
}

QString Paths::applicationSupport()
{
    return xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString Paths::configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString Paths::autostartFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/autostart");
}

QString Paths::cacheFolder()
{
    return xdgFolder("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/zentrove");
}

bool Paths::ensureFolder(const QString& path)
{
    return QDir().mkpath(path);
}
