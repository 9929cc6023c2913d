#include "menubar/menu_status.h"

#include "library/library_store.h"
#include "platform/defaults.h"
#include "wallpaper/system_wallpaper.h"

#include <QElapsedTimer>

#include <memory>

QString MenuStatus::text() const
{
    if (!hasWallpaper)
        return QStringLiteral("No wallpaper yet");
    if (userPaused)
        return QStringLiteral("Paused by you");
    if (playbackStatus)
        return *playbackStatus;
    if (lockScreenEnabled && !lockScreenTaken && !lockScreenFailed && wallpaperStoreSetUp)
        return QStringLiteral("Playing · desktop and lock screen");
    return QStringLiteral("Playing");
}

QString MenuStatus::forDisplay(const QString& status, bool onMain, bool followsMain)
{
    if (onMain)
        return status;
    const QString separator = QStringLiteral(" · ");
    const qsizetype cut = status.indexOf(separator);
    return (cut < 0 ? status : status.left(cut)) + separator
        + (followsMain ? QStringLiteral("same as main display") : QStringLiteral("wallpaper and bar"));
}

MenuStatus MenuStatus::of(const LibraryStore& store, bool wallpaperStoreSetUp)
{
    MenuStatus status;
    status.hasWallpaper = store.current().has_value();
    status.userPaused = store.switches().on(LibrarySwitch::userPaused);
    status.playbackStatus = store.switches().playbackStatus();
    status.lockScreenEnabled = store.switches().on(LibrarySwitch::lockScreenEnabled);
    status.lockScreenTaken = store.switches().on(LibrarySwitch::lockScreenTaken);
    status.lockScreenFailed = store.switches().on(LibrarySwitch::lockScreenFailed);
    status.wallpaperStoreSetUp = wallpaperStoreSetUp;
    return status;
}

MenuStatus MenuStatus::of(Defaults& paneflow, bool wallpaperStoreSetUp)
{
    const auto on = [&paneflow](LibrarySwitch which) {
        return paneflow.boolean(LibrarySwitches::key(which), LibrarySwitches::defaultValue(which));
    };
    MenuStatus status;
    // The same test the store makes at start: a current id that reads as a UUID.
    const std::optional<QString> current = paneflow.string(QStringLiteral("currentID"));
    status.hasWallpaper = current && !QUuid::fromString(*current).isNull();
    status.userPaused = on(LibrarySwitch::userPaused);
    status.playbackStatus = paneflow.string(QStringLiteral("playbackStatus"));
    if (status.playbackStatus && status.playbackStatus->isEmpty())
        status.playbackStatus.reset();
    status.lockScreenEnabled = on(LibrarySwitch::lockScreenEnabled);
    status.lockScreenTaken = on(LibrarySwitch::lockScreenTaken);
    status.lockScreenFailed = on(LibrarySwitch::lockScreenFailed);
    status.wallpaperStoreSetUp = wallpaperStoreSetUp;
    return status;
}

std::function<bool()> MenuStatus::wallpaperStoreCheck()
{
    return [checked = std::make_shared<QElapsedTimer>(), setUp = std::make_shared<bool>(false)] {
        if (!checked->isValid() || checked->hasExpired(5000)) {
            *setUp = SystemWallpaper::isSetUp();
            checked->start();
        }
        return *setUp;
    };
}
