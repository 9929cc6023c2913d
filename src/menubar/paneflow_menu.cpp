#include "menubar/paneflow_menu.h"

#include "core/zentrove.h"
#include "library/library_store.h"
#include "menubar/ensemble_menu_model.h"
#include "platform/defaults.h"

QString PaneflowMenu::pauseTitle(bool userPaused)
{
    return userPaused ? QStringLiteral("Play wallpaper") : QStringLiteral("Pause wallpaper");
}

std::unique_ptr<EnsembleMenu> PaneflowMenu::make(EnsembleMenuModel& model, LibraryStore& store, std::function<void(const QUuid&)> choose,
                                                 MenuActions actions, std::function<bool()> wallpaperStoreSetUp)
{
    LibraryStore* library = &store;
    EnsembleMenu::Hooks hooks;
    hooks.status = [library, wallpaperStoreSetUp] { return MenuStatus::of(*library, wallpaperStoreSetUp && wallpaperStoreSetUp()); };
    hooks.choose = std::move(choose);
    hooks.extra = MenuExtraRow {
        [library] { return pauseTitle(library->switches().on(LibrarySwitch::userPaused)); },
        [library] { return library->current().has_value(); },
        [library] { library->switches().set(LibrarySwitch::userPaused, !library->switches().on(LibrarySwitch::userPaused)); },
    };
    hooks.actions = std::move(actions);
    auto menu = std::make_unique<EnsembleMenu>(model, std::move(hooks));
    EnsembleMenu* target = menu.get();
    EnsembleMenuModel* data = &model;
    // The store is this process's view of the library: its changes reach the menu at once, and
    // the list the menu reads from the files follows them.
    for (auto signal : {&LibraryStore::ensemblesChanged, &LibraryStore::currentEnsembleIDChanged, &LibraryStore::displayEnsemblesChanged})
        QObject::connect(library, signal, target, [data] { data->reload(); });
    for (auto signal : {&LibraryStore::currentIDChanged, &LibraryStore::thumbnailVersionChanged})
        QObject::connect(library, signal, target, &EnsembleMenu::refresh);
    QObject::connect(&library->switches(), &LibrarySwitches::playbackStatusChanged, target, &EnsembleMenu::refresh);
    QObject::connect(&library->switches(), &LibrarySwitches::changed, target, &EnsembleMenu::refresh);
    return menu;
}

std::unique_ptr<EnsembleMenu> PlainMenu::make(EnsembleMenuModel& model, MenuActions actions, std::function<bool()> wallpaperStoreSetUp)
{
    EnsembleMenu::Hooks hooks;
    hooks.status = [wallpaperStoreSetUp] {
        Defaults& paneflow = Defaults::domain(Zentrove::paneflowID());
        paneflow.sync();
        return MenuStatus::of(paneflow, wallpaperStoreSetUp && wallpaperStoreSetUp());
    };
    hooks.actions = std::move(actions);
    return std::make_unique<EnsembleMenu>(model, std::move(hooks));
}
