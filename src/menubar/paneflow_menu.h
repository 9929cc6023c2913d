#pragma once

#include "menubar/ensemble_menu.h"

#include <functional>
#include <memory>

class LibraryStore;

// The menu content filled from the library store: the live-wallpaper part's and the control app's
// preview. Its status line follows the store; its extra row pauses and plays the wallpaper.
namespace PaneflowMenu {

// `choose` makes an ensemble current (through the store). `wallpaperStoreSetUp` tells whether the
// desktop's wallpaper store is set up for the lock screen; it is asked when the status is read.
std::unique_ptr<EnsembleMenu> make(EnsembleMenuModel& model, LibraryStore& store, std::function<void(const QUuid&)> choose,
                                   MenuActions actions, std::function<bool()> wallpaperStoreSetUp);

// The row's title: "Play wallpaper" when paused by the user, else "Pause wallpaper".
QString pauseTitle(bool userPaused);

} // namespace PaneflowMenu

// The menu content of the parts that do not run the library store: the status is read from the
// live-wallpaper part's settings, and a chosen ensemble is asked of that part.
namespace PlainMenu {
std::unique_ptr<EnsembleMenu> make(EnsembleMenuModel& model, MenuActions actions, std::function<bool()> wallpaperStoreSetUp);
} // namespace PlainMenu
