#include "library/library_files.h"

#include "core/record_json.h"
#include "platform/bundle.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// No index of ours comes near this; a bigger file is not read into memory.
constexpr qint64 maxIndexSize = 512 * 1024 * 1024;

// The files of one folder, listed once: a library of thousands of items asks about each of them,
// and one pass over the folder costs far less than a lookup per name.
class FolderFiles
{
public:
    explicit FolderFiles(const QString& folder)
    {
        DIR* listing = ::opendir(QFile::encodeName(folder).constData());
        if (!listing)
            return;
        while (const dirent* entry = ::readdir(listing)) {
            bool isFile = entry->d_type != DT_DIR;
            // A link (or a file system that does not say) is asked about what it really is.
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat info {};
                isFile = ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && !S_ISDIR(info.st_mode);
            }
            if (isFile)
                m_names.insert(QByteArray(entry->d_name));
        }
        ::closedir(listing);
    }

    bool contains(const QString& fileName) const
    {
        return m_names.contains(QFile::encodeName(fileName));
    }

private:
    QSet<QByteArray> m_names;
};

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

LibraryLocations LibraryLocations::standard()
{
    return {Paths::applicationSupport() + QStringLiteral("/Paneflow"), Bundle::shippedWallpapersFolder()};
}

QString LibraryLocations::mediaPath(const Wallpaper& wallpaper) const
{
    return (wallpaper.builtIn ? shippedWallpapers : videos()) + QLatin1Char('/') + wallpaper.fileName;
}

QString LibraryLocations::thumbnailPath(const QUuid& wallpaperID) const
{
    return thumbnails() + QLatin1Char('/') + RecordJson::uuidText(wallpaperID) + QStringLiteral(".png");
}

QString LibraryLocations::lockScreenFileName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    return stem + QStringLiteral("-lockscreen-v1.mov");
}

QString LibraryLocations::lockScreenPath(const QString& fileName) const
{
    return lockScreen() + QLatin1Char('/') + lockScreenFileName(fileName);
}

namespace LibraryFiles {

std::optional<QByteArray> readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxIndexSize)
        return std::nullopt;
    return file.readAll();
}

std::optional<QList<Wallpaper>> decodeWallpapers(const QByteArray& bytes)
{
    return RecordJson::decodeArray<Wallpaper>(bytes);
}

std::optional<QList<Ensemble>> decodeEnsembles(const QByteArray& bytes)
{
    return RecordJson::decodeArray<Ensemble>(bytes);
}

QList<Wallpaper> readWallpapers(const LibraryLocations& where)
{
    const auto bytes = readSmallFile(where.libraryFile());
    const auto decoded = bytes ? decodeWallpapers(*bytes) : std::nullopt;
    if (!decoded)
        return {};
    const FolderFiles videos(where.videos());
    const FolderFiles shipped(where.shippedWallpapers);
    QList<Wallpaper> present = std::move(*decoded);
    present.removeIf([&](const Wallpaper& item) {
        // A name that climbs out of its folder does not name a media file of ours.
        if (item.fileName.isEmpty() || item.fileName.contains(QLatin1Char('/')) || item.fileName == QLatin1String(".."))
            return true;
        return !(item.builtIn ? shipped : videos).contains(item.fileName);
    });
    return present;
}

std::optional<QList<Ensemble>> readEnsembles(const LibraryLocations& where, const QList<Wallpaper>& items)
{
    if (!QFileInfo::exists(where.ensemblesFile()))
        return std::nullopt;
    const auto bytes = readSmallFile(where.ensemblesFile());
    const auto decoded = bytes ? decodeEnsembles(*bytes) : std::nullopt;
    if (!decoded)
        return QList<Ensemble> {};
    QSet<QUuid> known;
    known.reserve(items.size());
    for (const Wallpaper& item : items)
        known.insert(item.id);
    QList<Ensemble> kept = std::move(*decoded);
    kept.removeIf([&](const Ensemble& ensemble) { return !known.contains(ensemble.wallpaper); });
    return kept;
}

QList<Ensemble> ensemblesFromWallpapers(const QList<Wallpaper>& items)
{
    QList<Ensemble> ensembles;
    ensembles.reserve(items.size());
    for (const Wallpaper& item : items)
        ensembles.append(Ensemble {item.id, item.name, item.id, item.clockPreset, item.taskbarTheme, std::nullopt});
    return ensembles;
}

void writeIndex(const LibraryLocations& where, const QList<Wallpaper>& items, const QList<Ensemble>& ensembles)
{
    writeAtomically(where.libraryFile(), RecordJson::encodeArray(items));
    writeAtomically(where.ensemblesFile(), RecordJson::encodeArray(ensembles));
}

} // namespace LibraryFiles
