#pragma once

#include "library/ensemble.h"
#include "library/wallpaper.h"

#include <QDateTime>
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

// An index file that exists but could not be read in full, as it was when it was read: enough to
// tell later whether it still holds those bytes, and to keep it before anything replaces it.
struct DamagedIndex
{
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QString reason; // what was wrong, for the log

    // The file as it is on disk now, with the given reason.
    static DamagedIndex of(const QString& path, const QString& reason);
    bool operator==(const DamagedIndex&) const = default;
};

// What reading one index file gave: the records that could be read, and whether some could not.
template<typename Record>
struct IndexRead
{
    QList<Record> records;
    std::optional<DamagedIndex> damaged;
};

// Reading and writing the two index files. Readers are tolerant: a record that cannot be read is
// left out and the rest are kept; a file with such records is reported as damaged.
namespace LibraryFiles {

// Every readable record of "library.json" whose media file exists, in file order.
IndexRead<Wallpaper> readWallpaperIndex(const LibraryLocations& where);
// Every readable record of "ensembles.json" that shows one of the given wallpapers, in file
// order; nullopt when the file does not exist at all (as opposed to being empty or damaged).
std::optional<IndexRead<Ensemble>> readEnsembleIndex(const LibraryLocations& where, const QList<Wallpaper>& items);
// The records alone.
QList<Wallpaper> readWallpapers(const LibraryLocations& where);
std::optional<QList<Ensemble>> readEnsembles(const LibraryLocations& where, const QList<Wallpaper>& items);

// Strict decoders: nullopt unless every record reads.
std::optional<QList<Wallpaper>> decodeWallpapers(const QByteArray& bytes);
std::optional<QList<Ensemble>> decodeEnsembles(const QByteArray& bytes);

// One ensemble per wallpaper, sharing the wallpaper's id, name and looks.
QList<Ensemble> ensemblesFromWallpapers(const QList<Wallpaper>& items);

// Writes both files atomically; a file that cannot be written is skipped, the other still goes.
void writeIndex(const LibraryLocations& where, const QList<Wallpaper>& items, const QList<Ensemble>& ensembles);
bool writeWallpapers(const LibraryLocations& where, const QList<Wallpaper>& items);
bool writeEnsembles(const LibraryLocations& where, const QList<Ensemble>& ensembles);

// Copies a damaged index next to itself as "<name>.damaged" ("<name>.2.damaged" and so on when
// that is taken; an earlier copy is never replaced), if the file still is what was read. Gives
// the copy's path; an empty string when there is nothing to keep any more (the file changed or
// went away since it was read); nullopt when the copy could not be made.
std::optional<QString> keepDamaged(const DamagedIndex& damaged);

// Reads a whole file up to a sane size; nullopt when it cannot be read.
std::optional<QByteArray> readSmallFile(const QString& path);

} // namespace LibraryFiles
