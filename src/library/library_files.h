#pragma once

#include "library/ensemble.h"
#include "library/wallpaper.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// Where the library lives: the root folder with the index files and the media folders, and the
// folder the shipped wallpapers come from.
struct LibraryLocations
{
    QString root;             // ".../Paneflow"
    QString shippedWallpapers; // the shipped media, read only

    // The user's library root under the Application Support folder, and the app's shipped folder.
    static LibraryLocations standard();

    QString libraryFile() const { return root + QStringLiteral("/library.json"); }
    QString ensemblesFile() const { return root + QStringLiteral("/ensembles.json"); }
    QString videos() const { return root + QStringLiteral("/Videos"); }
    QString thumbnails() const { return root + QStringLiteral("/Thumbnails"); }
    QString lockScreen() const { return root + QStringLiteral("/LockScreen"); }

    QString mediaPath(const Wallpaper& wallpaper) const;
    QString thumbnailPath(const QUuid& wallpaperID) const;
    // The lock-screen copy of a media file: its name without extension + "-lockscreen-v1.mov".
    QString lockScreenPath(const QString& fileName) const;
    static QString lockScreenFileName(const QString& fileName);
};

// Reading and writing the two index files. Readers are tolerant: anything unreadable is empty.
namespace LibraryFiles {

// Every record of "library.json" whose media file exists, in file order.
QList<Wallpaper> readWallpapers(const LibraryLocations& where);
// Every record of "ensembles.json" that shows one of the given wallpapers, in file order;
// nullopt when the file does not exist at all (as opposed to being empty or damaged).
std::optional<QList<Ensemble>> readEnsembles(const LibraryLocations& where, const QList<Wallpaper>& items);

// Decoders on their own, for the readers above and for anyone handed the bytes.
std::optional<QList<Wallpaper>> decodeWallpapers(const QByteArray& bytes);
std::optional<QList<Ensemble>> decodeEnsembles(const QByteArray& bytes);

// One ensemble per wallpaper, sharing the wallpaper's id, name and looks.
QList<Ensemble> ensemblesFromWallpapers(const QList<Wallpaper>& items);

// Writes both files atomically; a file that cannot be written is skipped, the other still goes.
void writeIndex(const LibraryLocations& where, const QList<Wallpaper>& items, const QList<Ensemble>& ensembles);

// Reads a whole file up to a sane size; nullopt when it cannot be read.
std::optional<QByteArray> readSmallFile(const QString& path);

} // namespace LibraryFiles
