#pragma once

#include "library/wallpaper.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

// The chips of the wallpapers page, in order.
enum class LibraryFilter { all, live, still, dynamic, inLook, notInLook };

// What the wallpapers page keeps of its own: which wallpaper is open, the search text, the chip,
// whether a drag with files is over the page, and whether the live-wallpaper part runs.
struct LibraryView
{
    std::optional<QUuid> openID;
    QString search;
    LibraryFilter filter = LibraryFilter::all;
    bool dropTargeted = false;
    bool running = false;
};

// What the filters ask about one wallpaper.
struct WallpaperTraits
{
    bool video = false;
    bool dynamic = false; // a picture with several frames
    int ensembles = 0;    // how many ensembles show it
};

namespace LibraryFilters {

QList<LibraryFilter> all();
QString label(LibraryFilter filter);
bool keeps(LibraryFilter filter, const WallpaperTraits& traits);

// Whether `name` contains the search text trimmed of white space, ignoring case the way the
// user's language does. An empty (or blank) search matches every name.
bool nameMatches(const QString& name, const QString& search);

// The wallpapers the grid shows: library order, kept by the filter, then by the search.
QList<Wallpaper> shown(const QList<Wallpaper>& items, LibraryFilter filter, const QString& search,
                       const std::function<WallpaperTraits(const Wallpaper&)>& traits);

} // namespace LibraryFilters
