#include "wallpaper/library_housekeeping.h"

#include "library/library_store.h"
#include "library/work_files.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSet>

Q_DECLARE_LOGGING_CATEGORY(lcLibrary)

void LibraryHousekeeping::atStart(LibraryStore& store)
{
    store.nameFilesAfterWallpapers();
    store.pairLooksByName();
    store.refreshChangedBuiltIns();
    if (store.indexDamaged()) {
        qCWarning(lcLibrary).noquote()
            << QStringLiteral("Paneflow: the library's index could not be read in full; lock-screen copies and unfinished files are left alone");
        return;
    }
    removeStrayLockScreenCopies(store);
    // Work files a crash left behind (a shrink in "Videos", a lock-screen conversion).
    for (const QString& folder : {store.locations().videos(), store.locations().lockScreen()})
        for (const QString& name : WorkFiles::removeAbandoned(folder))
            qCInfo(lcLibrary).noquote() << QStringLiteral("Paneflow: removed the unfinished file ") + name;
}

void LibraryHousekeeping::removeStrayLockScreenCopies(const LibraryStore& store)
{
    // A copy is stray only when no record expects it, and unread records may.
    if (store.indexDamaged())
        return;
    const QDir folder(store.locations().lockScreen());
    QStringList candidates = folder.entryList(QDir::Files | QDir::Hidden);
    candidates.removeIf([](const QString& name) {
        return !name.endsWith(QLatin1String(".mov")) || name.contains(QLatin1String(".partial."))
            || name.contains(QLatin1String(".looped."));
    });
    // Most starts find no copies at all; the names of a large library are only worked out when needed.
    if (candidates.isEmpty())
        return;
    QSet<QString> expected;
    for (const Wallpaper& item : store.items())
        expected.insert(LibraryLocations::lockScreenFileName(item.fileName));
    for (const QString& name : std::as_const(candidates)) {
        if (!expected.contains(name))
            QFile::remove(folder.filePath(name));
    }
}
