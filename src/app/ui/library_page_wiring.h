#pragma once

class QWidget;
struct ViewContext;

// The wallpapers page in the window: built over the app's library store, given the desktop's
// file manager and words, and tied to the navigation's requests (open a wallpaper, import, the
// sidebar's reselect, opening an ensemble).
namespace LibraryPageWiring {

// The page, or a placeholder when this build has no library store.
QWidget* make(const ViewContext& context, QWidget* parent);

} // namespace LibraryPageWiring
