#pragma once

#include "app/ensemble_link.h"

#include <QUuid>

class LibraryStore;

#include <optional>

// The wallpaper library as start-up and links use it. This base has no ensembles and no
// current wallpaper, so every link resolves to nothing.
class LibraryService
{
public:
    virtual ~LibraryService() = default;

    // Makes the ensemble the link names current; false when the link resolves to nothing.
    virtual bool follow(const EnsembleLink& /*link*/) { return false; }
    virtual std::optional<QUuid> currentWallpaperID() const { return std::nullopt; }
    // The store the pages show; none in this base.
    virtual LibraryStore* store() { return nullptr; }
};
