#pragma once

class LibraryStore;

// The live-wallpaper part's tidying of the library when it starts: media files named after their
// wallpapers, looks paired with shipped ensembles by name, changed built-ins refreshed, and the
// files a crash or an older version left behind removed. Nothing is deleted while an index could
// not be read in full: the records that were not read may still want those files.
namespace LibraryHousekeeping {
void atStart(LibraryStore& store);
// Lock-screen copies that no wallpaper of the library expects.
void removeStrayLockScreenCopies(const LibraryStore& store);
}
