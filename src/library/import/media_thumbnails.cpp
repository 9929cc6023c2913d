#include "library/import/media_thumbnails.h"

#include "core/unique_name.h"
#include "library/import/media_jobs.h"
#include "library/import/media_log.h"
#include "library/library_store.h"
#include "library/work_files.h"
#include "media/media_kind.h"
#include "media/thumbnailer.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct Job
{
    QUuid id;
    QString name;
    QString media;
    QString thumbnail;
};

Job jobFor(const LibraryStore& store, const Wallpaper& item)
{
    return {item.id, item.name, store.mediaPath(item), store.thumbnailPath(item.id)};
}

QStringList namesOf(const QList<Wallpaper>& items)
{
    QStringList names;
    for (const Wallpaper& item : items)
        names << item.name;
    return names;
}

} // namespace

AccentRefresher& MediaThumbnails::accent() const
{
    return m_accent ? *m_accent : *LibraryServices::installed().accent;
}

bool MediaThumbnails::write(const QString& mediaPath, const QString& thumbnailPath, const QString& wallpaperName)
{
    const Thumbnailer::Result result = MediaKind::isVideo(mediaPath) ? Thumbnailer::writeVideo(mediaPath, thumbnailPath)
                                                                     : Thumbnailer::writePicture(mediaPath, thumbnailPath);
    if (!result.ok)
        qCWarning(lcMedia).noquote() << QStringLiteral("Paneflow: thumbnail for ") + wallpaperName + QStringLiteral(" failed: ")
                                            + result.error;
    return result.ok;
}

void MediaThumbnails::remakeThumbnail(LibraryStore& store, const Wallpaper& item, std::function<void(bool)> done)
{
    const Job job = jobFor(store, item);
    MediaJobs::run(
        &store, [job] { return write(job.media, job.thumbnail, job.name); },
        [this, store = &store, job, done = std::move(done)](bool ok) {
            if (ok && store->currentID() == job.id)
                accent().refresh(job.thumbnail);
            if (done)
                done(ok);
        });
}

void MediaThumbnails::remake(LibraryStore& store, const Wallpaper& item)
{
    remakeThumbnail(store, item, [store = &store](bool) { store->bumpThumbnailVersion(); });
}

void MediaThumbnails::makeMissing(LibraryStore& store, const QList<Wallpaper>& items)
{
    QList<Job> jobs;
    for (const Wallpaper& item : items)
        if (!QFileInfo::exists(store.thumbnailPath(item.id)))
            jobs.append(jobFor(store, item));
    if (jobs.isEmpty())
        return;
    // One task for the lot, one after the other; views reload after each.
    MediaJobs::start([guard = QPointer<LibraryStore>(&store), jobs, this] {
        for (const Job& job : jobs) {
            if (guard.isNull() || MediaJobs::isStopping())
                return;
            const bool ok = write(job.media, job.thumbnail, job.name);
            MediaJobs::onMain(guard, [guard, job, ok, this] {
                if (ok && guard->currentID() == job.id)
                    accent().refresh(job.thumbnail);
                guard->bumpThumbnailVersion();
            });
        }
    });
}

void MediaThumbnails::refreshAll(LibraryStore& store)
{
    const QUuid activity = store.activityLog().begin(QStringLiteral("Library"), QStringLiteral("Refreshing"), 0.0);

    // Records whose media is gone leave (with their thumbnails), unless the index could not be
    // read in full: then nothing is deleted...
    if (!store.indexDamaged()) {
        for (const Wallpaper& item : QList<Wallpaper>(store.items()))
            if (!QFileInfo::exists(store.mediaPath(item)))
                store.remove(item);
    }
    // ...and media in "Videos" that no record knows join.
    QSet<QString> known;
    for (const Wallpaper& item : store.items())
        known.insert(item.fileName.toLower());
    const QStringList files = QDir(store.locations().videos()).entryList(QDir::Files, QDir::Name);
    for (const QString& file : files) {
        // A work file left by a crash is no wallpaper, even when its name ends in ".mov".
        if (known.contains(file.toLower()) || !MediaKind::isWallpaperFile(file) || WorkFiles::isWorkFile(file))
            continue;
        Wallpaper item;
        item.id = QUuid::createUuid();
        item.name = UniqueName::make(QFileInfo(file).completeBaseName(), namesOf(store.items()));
        item.fileName = file;
        item.addedAt = QDateTime::currentDateTimeUtc();
        // Found, not chosen: it waits for the user to pick it.
        store.addWallpaper(item, false);
        known.insert(file.toLower());
    }
    store.dropUnlistedCurrent();

    QList<Job> jobs;
    for (const Wallpaper& item : store.items())
        jobs.append(jobFor(store, item));
    const qsizetype count = jobs.size();
    MediaJobs::start([guard = QPointer<LibraryStore>(&store), jobs, activity, count, this] {
        int failed = 0;
        for (qsizetype i = 0; i < count; ++i) {
            if (guard.isNull() || MediaJobs::isStopping())
                return; // an early way out only: the main thread checks the store again
            MediaJobs::onMain(guard, [guard, activity, i, count] {
                guard->activityLog().update(activity, QStringLiteral("Thumbnail %1 of %2").arg(i + 1).arg(count), double(i) / count);
            });
            const Job& job = jobs[i];
            const bool ok = write(job.media, job.thumbnail, job.name);
            failed += ok ? 0 : 1;
            MediaJobs::onMain(guard, [guard, job, ok, this] {
                if (ok && guard->currentID() == job.id)
                    accent().refresh(job.thumbnail);
                guard->bumpThumbnailVersion();
            });
        }
        MediaJobs::onMain(guard, [store = guard, activity, count, failed] {
            QString detail;
            if (failed == 0)
                detail = count == 1 ? QStringLiteral("1 wallpaper") : QStringLiteral("%1 wallpapers").arg(count);
            else
                detail = failed == 1 ? QStringLiteral("1 thumbnail failed") : QStringLiteral("%1 thumbnails failed").arg(failed);
            store->activityLog().finish(activity, QStringLiteral("Library Refreshed"), detail, failed > 0);
        });
    });
}
