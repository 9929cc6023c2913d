#pragma once

#include "library/library_services.h"

#include <functional>
#include <memory>

// Thumbnails of library items made from their media on media workers; views reload when the
// store's thumbnailVersion rises.
class MediaThumbnails : public ThumbnailMaker
{
public:
    // Without an accent refresher the process-wide one is used (looked up when needed, so one
    // installed later still counts).
    explicit MediaThumbnails(std::shared_ptr<AccentRefresher> accent = {}) : m_accent(std::move(accent)) {}

    void makeMissing(LibraryStore& store, const QList<Wallpaper>& items) override;
    void remake(LibraryStore& store, const Wallpaper& item) override;
    void refreshAll(LibraryStore& store) override;

    // Writes one wallpaper's thumbnail (blocking; any thread). Logs and returns false on failure.
    static bool write(const QString& mediaPath, const QString& thumbnailPath, const QString& wallpaperName);
    // Remakes one thumbnail on a worker; `done(ok)` runs on the main thread afterwards.
    void remakeThumbnail(LibraryStore& store, const Wallpaper& item, std::function<void(bool)> done = {});

private:
    AccentRefresher& accent() const;
    std::shared_ptr<AccentRefresher> m_accent;
};
