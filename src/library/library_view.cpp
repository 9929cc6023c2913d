#include "library/library_view.h"

#include <QLocale>

namespace LibraryFilters {

QList<LibraryFilter> all()
{
    return {LibraryFilter::all, LibraryFilter::live, LibraryFilter::still,
            LibraryFilter::dynamic, LibraryFilter::inLook, LibraryFilter::notInLook};
}

QString label(LibraryFilter filter)
{
    switch (filter) {
    case LibraryFilter::all: return QStringLiteral("All");
    case LibraryFilter::live: return QStringLiteral("Live");
    case LibraryFilter::still: return QStringLiteral("Still");
    case LibraryFilter::dynamic: return QStringLiteral("Dynamic");
    case LibraryFilter::inLook: return QStringLiteral("In an ensemble");
    case LibraryFilter::notInLook: return QStringLiteral("Not in an ensemble");
    }
    return {};
}

bool keeps(LibraryFilter filter, const WallpaperTraits& traits)
{
    switch (filter) {
    case LibraryFilter::all: return true;
    case LibraryFilter::live: return traits.video;
    case LibraryFilter::still: return !traits.video && !traits.dynamic;
    case LibraryFilter::dynamic: return !traits.video && traits.dynamic;
    case LibraryFilter::inLook: return traits.ensembles > 0;
    case LibraryFilter::notInLook: return traits.ensembles == 0;
    }
    return false;
}

namespace {

// Lower case by the user's language (a Turkish dotted I lowers differently), so the search
// ignores case as its reader expects.
QString folded(const QString& text)
{
    static const QLocale locale = QLocale::system();
    return locale.toLower(text);
}

} // namespace

bool nameMatches(const QString& name, const QString& search)
{
    const QString needle = search.trimmed();
    return needle.isEmpty() || folded(name).contains(folded(needle));
}

QList<Wallpaper> shown(const QList<Wallpaper>& items, LibraryFilter filter, const QString& search,
                       const std::function<WallpaperTraits(const Wallpaper&)>& traits)
{
    const QString needle = folded(search.trimmed());
    QList<Wallpaper> kept;
    for (const Wallpaper& item : items) {
        if (filter != LibraryFilter::all && !keeps(filter, traits(item)))
            continue;
        if (!needle.isEmpty() && !folded(item.name).contains(needle))
            continue;
        kept << item;
    }
    return kept;
}

} // namespace LibraryFilters
