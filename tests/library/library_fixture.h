#pragma once

#include "notice_log.h"

#include "core/zentrove.h"
#include "library/built_ins.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "platform/screens.h"
#include "wallpaper/library_housekeeping.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

// A private library: a fresh home, the library root inside it, a shipped folder of its own, and
// two displays (main first).
class LibraryFixture
{
public:
    explicit LibraryFixture(bool withShippedMedia = false)
        : where {home.dataHome() + QStringLiteral("/Paneflow"), home.path() + QStringLiteral("/bundle/Wallpapers")}
    {
        ProcessIdentity::set(Zentrove::bundleID());
        QDir().mkpath(where.videos());
        QDir().mkpath(where.shippedWallpapers);
        if (withShippedMedia) {
            for (const Wallpaper& item : BuiltInEnsembles::wallpapers())
                touch(where.mediaPath(item), "shipped");
        }
        Screens::setOverride(QList<ScreenInfo> {mainScreen, sideScreen});
    }
    ~LibraryFixture()
    {
        // Notices this case posted must not reach the next one.
        Notifier::flush();
        NoticeLog::settle(150);
        Screens::setOverride(std::nullopt);
    }

    static void touch(const QString& path, const QByteArray& bytes = "media")
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    // A user wallpaper with its media file in "Videos".
    Wallpaper wallpaper(const QString& name, const QString& fileName = {})
    {
        Wallpaper item {QUuid::createUuid(), name, fileName.isEmpty() ? name + QStringLiteral(".mp4") : fileName};
        touch(where.videos() + QLatin1Char('/') + item.fileName);
        return item;
    }

    void writeIndex(const QList<Wallpaper>& items, const QList<Ensemble>& ensembles)
    {
        LibraryFiles::writeIndex(where, items, ensembles);
    }

    Defaults& prefs() { return Defaults::domain(Zentrove::paneflowID()); }

    // `engine`: the store as the live-wallpaper part opens it, tidying the files as it starts.
    std::unique_ptr<LibraryStore> open(bool engine = false)
    {
        auto store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), engine, where, LibraryServices {});
        if (engine)
            LibraryHousekeeping::atStart(*store);
        return store;
    }

    TestHome home;
    LibraryLocations where;
    const ScreenInfo mainScreen {1, QStringLiteral("11111111-1111-1111-1111-111111111111"), QStringLiteral("main")};
    const ScreenInfo sideScreen {2, QStringLiteral("22222222-2222-2222-2222-222222222222"), QStringLiteral("side")};
};
