#include "library/library_files.h"

#include "library/record_json.h"
#include "platform/bundle.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <sys/stat.h>

namespace {

// No index of ours comes near this; a bigger file is not read into memory.
constexpr qint64 maxIndexSize = 512 * 1024 * 1024;

// A plain stat: QFileInfo allocates more than this loop over thousands of items wants.
bool fileExists(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

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
    QList<Wallpaper> present;
    present.reserve(decoded->size());
    for (const Wallpaper& item : *decoded) {
        // A name that climbs out of its folder does not name a media file of ours.
        if (item.fileName.isEmpty() || item.fileName.contains(QLatin1Char('/')) || item.fileName == QLatin1String(".."))
            continue;
        if (fileExists(where.mediaPath(item)))
            present.append(item);
    }
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
    QList<Ensemble> kept;
    kept.reserve(decoded->size());
    for (const Ensemble& ensemble : *decoded) {
        if (known.contains(ensemble.wallpaper))
            kept.append(ensemble);
    }
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
