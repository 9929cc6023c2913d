#pragma once

#include <QString>

#include <functional>

// Installing and leaving: moving the app into place, ejecting its disk image, giving back the
// user's own wallpaper. This base has nothing to move or eject and nothing to give back.
class InstallService
{
public:
    virtual ~InstallService() = default;

    virtual bool mustMove() const { return false; }
    virtual void eject(const QString& /*path*/) {}
    // Restores the user's own desktop and lock screen wallpaper; `done` runs afterwards.
    virtual void giveBackWallpaper(std::function<void()> done) { done(); }
};
