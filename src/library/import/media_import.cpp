#include "library/import/media_import.h"

#include "core/unique_name.h"
#include "library/import/import_check.h"
#include "library/import/media_jobs.h"
#include "library/import/media_log.h"
#include "library/library_store.h"
#include "media/image_info.h"
#include "media/lock_screen_video.h"
#include "media/media_kind.h"
#include "media/thumbnailer.h"
#include "media/video_info.h"
#include "platform/local_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <memory>

namespace {

struct StepResult
{
    bool ok = true;
    QString error;
};

QStringList namesOf(const QList<Wallpaper>& items)
{
    QStringList names;
    for (const Wallpaper& item : items)
        names << item.name;
    return names;
}

// Copies next to the destination and moves into place, so a failed or stopped copy (full disk,
// source gone halfway, the app quitting) never leaves a file that looks like media.
StepResult copyInto(const QString& source, const QString& destination)
{
    const QString partial = destination + QLatin1Char('.') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".partial");
    QFile in(source);
    QFile out(partial);
    if (!in.open(QIODevice::ReadOnly))
        return {false, in.errorString()};
    if (!out.open(QIODevice::WriteOnly))
        return {false, out.errorString()};
    QByteArray buffer;
    for (;;) {
        // A large file takes a while; quitting must not wait for the rest of it.
        if (MediaJobs::isStopping()) {
            out.close();
            QFile::remove(partial);
            return {false, QStringLiteral("the copy was stopped because the app is quitting")};
        }
        buffer = in.read(4 << 20);
        if (buffer.isEmpty())
            break;
        if (out.write(buffer) != buffer.size()) {
            const QString error = out.errorString();
            out.close();
            QFile::remove(partial);
            return {false, error};
        }
    }
    const bool readFailed = in.error() != QFileDevice::NoError;
    const QString readError = in.errorString();
    const bool flushed = out.flush();
    out.close();
    if (readFailed || !flushed || out.size() != in.size()) {
        QFile::remove(partial);
        return {false, readFailed ? readError : (flushed ? QStringLiteral("the copy is incomplete") : out.errorString())};
    }
    if (!QFile::rename(partial, destination)) {
        QFile::remove(partial);
        return {false, QStringLiteral("couldn't move the copy into place")};
    }
    return {};
}

StepResult stopped()
{
    return {false, QStringLiteral("the import was stopped because the app is quitting")};
}

void logImportFailure(const QString& path, const QString& error)
{
    qCWarning(lcMedia).noquote() << QStringLiteral("Paneflow: import of ") + path + QStringLiteral(" failed: ") + error;
}

// One import, step by step. Lives until its last step has run on the main thread.
class Import : public std::enable_shared_from_this<Import>
{
public:
    Import(LibraryStore& store, const QString& source) : store(&store), source(source)
    {
        title = QFileInfo(source).completeBaseName();
    }

    QPointer<LibraryStore> store;
    QString source;
    QString title;
    QUuid activity;
    QString fileName;
    QString target;
    QUuid id = QUuid::createUuid();

    void begin(const QString& detail)
    {
        activity = store->activityLog().begin(title, detail);
        store->setImporting(store->importing() + 1);
    }

    void reserve(const QString& extension)
    {
        fileName = store->uniqueFileName(title, extension);
        store->reserveFileName(fileName);
        target = store->locations().videos() + QLatin1Char('/') + fileName;
        QDir().mkpath(store->locations().videos());
    }

    void end(const QString& detail, bool failed)
    {
        if (!store)
            return;
        store->activityLog().finish(activity, std::nullopt, detail, failed);
        if (!fileName.isEmpty())
            store->releaseFileName(fileName);
        store->setImporting(std::max(0, store->importing() - 1));
    }

    // Progress from a worker, shown on the main thread.
    std::function<void(double)> progress(const QString& detail, double scale)
    {
        return [self = shared_from_this(), detail, scale](double fraction) {
            MediaJobs::onMain(self->store, [self, detail, value = fraction * scale] {
                self->store->activityLog().update(self->activity, detail, value);
            });
        };
    }

    // Takes the outcome of copying the media and making its thumbnail: a failure leaves nothing
    // of the import behind; success adds the record. Answers whether the record was added.
    bool addAfter(const StepResult& step, const QString& thumbnail, const QString& failureText)
    {
        if (!store)
            return false;
        if (!step.ok) {
            logImportFailure(source, step.error);
            QFile::remove(target);
            QFile::remove(thumbnail);
            end(failureText, true);
            return false;
        }
        add();
        return true;
    }

private:
    // The record joins the library once its media and thumbnail are in place.
    void add()
    {
        Wallpaper item;
        item.id = id;
        // Named now rather than when the import began, so two imports of the same title that
        // finish together still get distinct names.
        item.name = UniqueName::make(title, namesOf(store->items()));
        item.fileName = fileName;
        item.addedAt = QDateTime::currentDateTimeUtc();
        store->addWallpaper(item);
    }
};

void prepareLockScreen(const std::shared_ptr<Import>& import)
{
    LibraryStore& store = *import->store;
    const QString copy = store.locations().lockScreenPath(import->fileName);
    if (QFileInfo::exists(copy)) {
        import->end(QStringLiteral("Added to library"), false);
        return;
    }
    // Leaving: the wallpaper stays, without its lock-screen copy.
    if (MediaJobs::isStopping()) {
        import->end(QStringLiteral("Added, but lock screen prep failed"), true);
        return;
    }
    const QString detail = QStringLiteral("Preparing for lock screen");
    store.activityLog().update(import->activity, detail, 0.0);
    QDir().mkpath(store.locations().lockScreen());
    const QString media = import->target;
    MediaJobs::run(
        &store, [media, copy, onProgress = import->progress(detail, 1.0)] {
            return LockScreenVideo::makeLockScreenCopy(media, copy, onProgress, MediaJobs::stopFlag());
        },
        [import](LockScreenVideo::Outcome outcome) {
            if (outcome.ok()) {
                import->end(QStringLiteral("Added to library"), false);
                return;
            }
            const QString why = outcome.cancelled() ? stopped().error : outcome.description();
            qCWarning(lcMedia).noquote() << QStringLiteral("Paneflow: lock screen conversion of ") + import->fileName
                                                + QStringLiteral(" failed: ") + why;
            import->end(QStringLiteral("Added, but lock screen prep failed"), true);
        });
}

} // namespace

void MediaImporter::importFiles(LibraryStore& store, const QList<QUrl>& files)
{
    for (const QUrl& url : files) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : url.toString();
        if (MediaKind::isVideo(path))
            importVideo(store, path);
        else if (MediaKind::isImage(path))
            importPicture(store, path);
    }
}

void MediaImporter::importVideo(LibraryStore& store, const QString& path)
{
    auto import = std::make_shared<Import>(store, path);
    import->begin(QStringLiteral("Checking video"));
    const QString videos = store.locations().videos();
    MediaJobs::run(&store, [path, videos] { return ImportCheck::run(path, videos, MediaJobs::stopFlag().get()); }, [import](ImportCheck check) {
        if (!import->store)
            return;
        LibraryStore& store = *import->store;
        // A check cut short by leaving says nothing about the video.
        if (MediaJobs::isStopping()) {
            import->end(QStringLiteral("Import failed"), true);
            return;
        }
        if (!check.ok) {
            import->end(check.message, true);
            return;
        }
        const QString detail = check.needsShrinking ? QStringLiteral("Shrinking to 4K") : QStringLiteral("Copying into library");
        store.activityLog().update(import->activity, detail, 0.0);
        import->reserve(check.needsShrinking ? QStringLiteral("mov") : QFileInfo(import->source).suffix().toLower());

        const QString source = import->source, target = import->target;
        const QString thumbnail = store.thumbnailPath(import->id);
        auto onProgress = import->progress(detail, 0.8);
        MediaJobs::run(
            &store,
            [import, source, target, thumbnail, shrink = check.needsShrinking, onProgress]() -> StepResult {
                StepResult step;
                if (shrink) {
                    const auto outcome = LockScreenVideo::shrink(source, target, onProgress, MediaJobs::stopFlag());
                    step = outcome.cancelled() ? stopped() : StepResult{outcome.ok(), outcome.message};
                } else {
                    step = copyInto(source, target);
                }
                if (step.ok && MediaJobs::isStopping())
                    step = stopped();
                if (step.ok) {
                    import->progress(QStringLiteral("Making thumbnail"), 1.0)(0.8);
                    VideoInfo::forget(target);
                    const auto made = Thumbnailer::writeVideo(target, thumbnail, Thumbnailer::defaultMaxWidth,
                                                              MediaJobs::stopFlag().get());
                    step = {made.ok, made.error};
                }
                return step;
            },
            [import, thumbnail](StepResult step) {
                if (import->addAfter(step, thumbnail, QStringLiteral("Import failed")))
                    prepareLockScreen(import);
            });
    });
}

void MediaImporter::importPicture(LibraryStore& store, const QString& path)
{
    auto import = std::make_shared<Import>(store, path);
    import->begin(QStringLiteral("Copying into library"));
    import->reserve(QFileInfo(path).suffix().toLower());
    const QString target = import->target, thumbnail = store.thumbnailPath(import->id);
    MediaJobs::run(
        &store,
        [path, target, thumbnail]() -> StepResult {
            // Only a regular file is opened: a FIFO would wait for a writer, a device never ends.
            if (!LocalFiles::isRegular(path))
                return {false, QStringLiteral("it is not a regular file")};
            if (!ImageInfo::size(path))
                return {false, QStringLiteral("the file is not a picture that can be read")};
            StepResult step = copyInto(path, target);
            if (step.ok && MediaJobs::isStopping())
                step = stopped();
            if (step.ok) {
                // Facts read for an earlier file of this name are not this picture's.
                VideoInfo::forget(target);
                const auto made = Thumbnailer::writePicture(target, thumbnail);
                step = {made.ok, made.error};
            }
            return step;
        },
        [import, thumbnail](StepResult step) {
            if (import->addAfter(step, thumbnail, QStringLiteral("Couldn't read this picture")))
                import->end(QStringLiteral("Added to library"), false);
        });
}
