#pragma once

#include "library/library_services.h"

// Imports videos and pictures into the library: checks, copies or shrinks, thumbnails, adds the
// record and prepares the lock-screen copy, each step reported on the import's activity. Work
// runs on media workers; the store is only touched on the main thread.
class MediaImporter : public WallpaperImporter
{
public:
    void importFiles(LibraryStore& store, const QList<QUrl>& files) override;

    static void importVideo(LibraryStore& store, const QString& path);
    static void importPicture(LibraryStore& store, const QString& path);
};
