#include "library/library_files.h"

#include "core/record_json.h"
#include "platform/bundle.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>
#include <QSet>

namespace {

// No index of ours comes near this; a bigger file is not read into memory.
constexpr qint64 maxIndexSize = 512 * 1024 * 1024;

// The files of one folder, listed once: a library of thousands of items asks about each of them,
// and one pass over the folder costs far less than a lookup per name.
class FolderFiles
{
public:
    explicit FolderFiles(const QString& folder) : m_names(FolderListing::fileNames(folder)) {}

    bool contains(const QString& fileName) const
    {
        return m_names.contains(QFile::encodeName(fileName));
    }

private:
    QSet<QByteArray> m_names;
};

// Every element of a JSON array that reads as a record, in order; the others are counted. A file
// that is not a JSON array at all gives no records.
template<typename Record>
IndexRead<Record> readIndexFile(const QString& path)
{
    IndexRead<Record> read;
    const auto bytes = LibraryFiles::readSmallFile(path);
    const auto array = bytes ? RecordJson::parseArray(*bytes) : std::nullopt;
    if (!array) {
        read.damaged = DamagedIndex::of(path, bytes ? QStringLiteral("it is not a JSON array")
                                                    : QStringLiteral("it could not be opened"));
        return read;
    }
    qsizetype unreadable = 0;
    read.records.reserve(array->size());
    for (const QJsonValue& element : *array) {
        std::optional<Record> record = element.isObject() ? Record::fromJson(element.toObject()) : std::nullopt;
        if (record)
            read.records.append(std::move(*record));
        else
            ++unreadable;
    }
    if (unreadable > 0)
        read.damaged = DamagedIndex::of(path, QStringLiteral("%1 of its %2 records could not be read").arg(unreadable).arg(array->size()));
    return read;
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

DamagedIndex DamagedIndex::of(const QString& path, const QString& reason)
{
    const QFileInfo file(path);
    return {path, file.exists() ? file.size() : -1, file.lastModified(), reason};
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

IndexRead<Wallpaper> readWallpaperIndex(const LibraryLocations& where)
{
    if (!QFileInfo::exists(where.libraryFile()))
        return {};
    IndexRead<Wallpaper> read = readIndexFile<Wallpaper>(where.libraryFile());
    const FolderFiles videos(where.videos());
    const FolderFiles shipped(where.shippedWallpapers);
    read.records.removeIf([&](const Wallpaper& item) {
        // A name that climbs out of its folder does not name a media file of ours.
        if (item.fileName.isEmpty() || item.fileName.contains(QLatin1Char('/')) || item.fileName == QLatin1String(".."))
            return true;
        return !(item.builtIn ? shipped : videos).contains(item.fileName);
    });
    return read;
}

std::optional<IndexRead<Ensemble>> readEnsembleIndex(const LibraryLocations& where, const QList<Wallpaper>& items)
{
    if (!QFileInfo::exists(where.ensemblesFile()))
        return std::nullopt;
    IndexRead<Ensemble> read = readIndexFile<Ensemble>(where.ensemblesFile());
    QSet<QUuid> known;
    known.reserve(items.size());
    for (const Wallpaper& item : items)
        known.insert(item.id);
    read.records.removeIf([&](const Ensemble& ensemble) { return !known.contains(ensemble.wallpaper); });
    return read;
}

QList<Wallpaper> readWallpapers(const LibraryLocations& where)
{
    return readWallpaperIndex(where).records;
}

std::optional<QList<Ensemble>> readEnsembles(const LibraryLocations& where, const QList<Wallpaper>& items)
{
    auto read = readEnsembleIndex(where, items);
    return read ? std::optional<QList<Ensemble>>(std::move(read->records)) : std::nullopt;
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
    writeWallpapers(where, items);
    writeEnsembles(where, ensembles);
}

bool writeWallpapers(const LibraryLocations& where, const QList<Wallpaper>& items)
{
    return writeAtomically(where.libraryFile(), RecordJson::encodeArray(items));
}

bool writeEnsembles(const LibraryLocations& where, const QList<Ensemble>& ensembles)
{
    return writeAtomically(where.ensemblesFile(), RecordJson::encodeArray(ensembles));
}

std::optional<QString> keepDamaged(const DamagedIndex& damaged)
{
    const QFileInfo now(damaged.path);
    // Replaced or gone since: another process kept it already, or the damage went with it.
    if (!now.exists() || now.size() != damaged.size || now.lastModified() != damaged.modified)
        return QString();
    for (int n = 1; n < 1000; ++n) {
        const QString copy = n == 1 ? damaged.path + QStringLiteral(".damaged")
                                    : damaged.path + QLatin1Char('.') + QString::number(n) + QStringLiteral(".damaged");
        if (QFileInfo::exists(copy) || QFileInfo(copy).isSymLink())
            continue;
        // A copy rather than a move: the index stays in place until its replacement is written,
        // so a process starting meanwhile never finds it missing.
        if (QFile::copy(damaged.path, copy))
            return copy;
        if (!QFileInfo::exists(copy))
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace LibraryFiles
