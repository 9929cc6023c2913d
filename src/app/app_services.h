#pragma once

#include "app/install_service.h"
#include "app/library_service.h"
#include "app/menu_bar_service.h"
#include "app/safety_service.h"
#include "app/setup_service.h"
#include "app/updates_service.h"

#include <QString>

class StyleStore;

#include <functional>
#include <memory>

class SettingsStore;
class StyleStore;

// The services the control app's start-up, part control and window lean on, each behind a small
// interface. None is ever null: until a service is built, its base class stands in and does
// nothing.
struct AppServices
{
    std::shared_ptr<UpdatesService> updates = std::make_shared<UpdatesService>();
    std::shared_ptr<SafetyService> safety = std::make_shared<SafetyService>();
    std::shared_ptr<LibraryService> library = std::make_shared<LibraryService>();
    std::shared_ptr<InstallService> install = std::make_shared<InstallService>();
    std::shared_ptr<SetupService> setup = std::make_shared<SetupService>();
    std::shared_ptr<MenuBarService> menuBar = std::make_shared<MenuBarService>();
    // Page details from "--show page.detail": the clock page's editing tab, the taskbar page's pane.
    std::function<void(const QString& tab)> openClockTab = [](const QString&) {};
    std::function<void(const QString& detail)> openTaskbarDetail = [](const QString&) {};
    // The ensembles page's view: "lockscreen", "new" (a new ensemble's editor on its second step)
    // or "second" (the second display).
    std::function<void(const QString& detail)> openLooksDetail = [](const QString&) {};
    // The clock and taskbar parts' stores over their settings domains, for the life of the app and
    // shared by the pages. Unlike the services above these may be missing (in tests that do not
    // need them); the pages that need them then stand as placeholders.
    std::shared_ptr<StyleStore> clockStore;
    std::shared_ptr<SettingsStore> taskbarStore;
    // "--show menu.second": the menu bar item's preview about the second display. Set by the preview.
    std::function<void(const QString& detail)> openMenuDetail = [](const QString&) {};
    // "--show paneflow.options": the wallpapers page's settings popover. Set by the page.
    std::function<void(const QString& detail)> openLibraryDetail = [](const QString&) {};

    // The services of this build, wired in one place.
    static AppServices standard();
};
