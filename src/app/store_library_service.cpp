#include "app/store_library_service.h"

#include "core/zentrove.h"

StoreLibraryService::StoreLibraryService()
    : StoreLibraryService(std::make_unique<LibraryStore>(Zentrove::paneflowID(), false))
{
}

StoreLibraryService::StoreLibraryService(std::unique_ptr<LibraryStore> store)
    : m_store(std::move(store))
{
}

bool StoreLibraryService::follow(const EnsembleLink& link)
{
    QList<EnsembleLink::Entry> entries;
    entries.reserve(m_store->ensembles().size());
    for (const Ensemble& e : m_store->ensembles())
        entries.append({e.id, e.name});
    const auto id = link.resolve(entries, m_store->currentEnsembleID());
    if (!id)
        return false;
    m_store->setCurrentEnsembleID(id);
    return true;
}

std::optional<QUuid> StoreLibraryService::currentWallpaperID() const
{
    return m_store->currentID();
}
