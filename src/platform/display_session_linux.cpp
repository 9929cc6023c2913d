#include "platform/display_session.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

namespace {

bool hasX11()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    // A display that is named but does not answer (a stale variable over SSH) counts as none.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return answers;
}

bool hasWayland()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    const QString socket = QDir::isAbsolutePath(name) ? name : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    if (!QFileInfo::exists(socket))
        return false;
    // Qt's Wayland platform is a package of its own; without it Qt cannot use the display.
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

} // namespace

bool DisplaySession::available()
{
    // A platform named for Qt is what it will try, in order; one that needs no display (offscreen,
    // a VNC server, a framebuffer) is taken at its word.
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (named.isEmpty())
        return hasWayland() || hasX11();
    for (const QString& entry : named.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString platform = entry.section(QLatin1Char(':'), 0, 0);
        if (platform == QLatin1String("xcb") ? hasX11() : platform.startsWith(QLatin1String("wayland")) ? hasWayland() : true)
            return true;
    }
    return false;
}

void DisplaySession::useOffscreen()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString DisplaySession::missingText(const QString& program)
{
    return QStringLiteral("%1: no display to show windows on (set DISPLAY or WAYLAND_DISPLAY); --help lists what runs without one")
        .arg(program);
}
