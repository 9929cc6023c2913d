#pragma once

#include "app/library_service.h"
#include "library/library_store.h"

#include <memory>

// The control app's library: one store over the live-wallpaper part's settings for the life of
// the process, which links switch ensembles through.
class StoreLibraryService : public LibraryService
{
public:
    StoreLibraryService();
    explicit StoreLibraryService(std::unique_ptr<LibraryStore> store);

    bool follow(const EnsembleLink& link) override;
    std::optional<QUuid> currentWallpaperID() const override;

    LibraryStore* store() override { return m_store.get(); }

private:
    std::unique_ptr<LibraryStore> m_store;
};
