#pragma once

#include "library/wallpaper.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class LibraryStore;

// Thumbnail work the store asks for. The store itself makes no pictures; the default does nothing.
class ThumbnailMaker
{
public:
    virtual ~ThumbnailMaker() = default;
    // Thumbnails of the given wallpapers that do not exist yet.
    virtual void makeMissing(LibraryStore& store, const QList<Wallpaper>& items) { Q_UNUSED(store) Q_UNUSED(items) }
    // The thumbnail of one wallpaper, made again (its media changed).
    virtual void remake(LibraryStore& store, const Wallpaper& item) { Q_UNUSED(store) Q_UNUSED(item) }
    // Re-scans the whole library and remakes every thumbnail.
    virtual void refreshAll(LibraryStore& store) { Q_UNUSED(store) }
};

// Brings new media into the library. The default imports nothing.
class WallpaperImporter
{
public:
    virtual ~WallpaperImporter() = default;
    virtual void importFiles(LibraryStore& store, const QList<QUrl>& files) { Q_UNUSED(store) Q_UNUSED(files) }
};

// Recomputes the app's accent colour from a wallpaper's thumbnail. The default does nothing.
class AccentRefresher
{
public:
    virtual ~AccentRefresher() = default;
    // An empty path: no wallpaper is current.
    virtual void refresh(const QString& thumbnailPath) { Q_UNUSED(thumbnailPath) }
};

// A store that owns shipped looks (clock presets, taskbar themes) and can bring one back.
class ShippedLookSource
{
public:
    virtual ~ShippedLookSource() = default;
    // Restores the shipped look with this id; gives the id it has now, or nullopt.
    virtual std::optional<QUuid> restoreShipped(const QUuid& shippedID) = 0;
};

// The services a store is built with. Processes install their real ones once at start.
struct LibraryServices
{
    std::shared_ptr<ThumbnailMaker> thumbnails = std::make_shared<ThumbnailMaker>();
    std::shared_ptr<WallpaperImporter> importer = std::make_shared<WallpaperImporter>();
    std::shared_ptr<AccentRefresher> accent = std::make_shared<AccentRefresher>();

    // The process-wide set new stores take by default.
    static LibraryServices& installed();
};
