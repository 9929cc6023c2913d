#include "app/app_services.h"

#include "app/feed_updates_service.h"
#include "app/menu_bar_setting.h"
#include "app/safety_list_service.h"
#include "app/setup_start.h"
#include "app/store_library_service.h"
#include "app/wallpaper_install_service.h"
#include "clock/style_store.h"
#include "taskbar/settings_store.h"
#include "core/zentrove.h"
#include "library/ensemble_theme.h"
#include "platform/defaults.h"
#include "platform/workspace.h"

AppServices AppServices::standard()
{
    AppServices services;
    services.library = std::make_shared<StoreLibraryService>();
    services.safety = std::make_shared<SafetyListService>();
    services.install = std::make_shared<WallpaperInstallService>();
    services.menuBar = std::make_shared<MenuBarSetting>();
    services.setup = std::make_shared<SetupStart>();
    services.updates = std::make_shared<FeedUpdatesService>(Updater::makeSystem());
    // Opened by name, as the clock part opens it as its own; it reloads on the part's notices.
    services.clockStore = std::make_shared<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
    services.taskbarStore = std::make_shared<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
    // Choosing an ensemble from outside the store asks the live-wallpaper part when it runs.
    std::shared_ptr<Workspace> workspace = Workspace::makeSystem();
    EnsembleTheme::setPartRunningCheck([workspace] { return !workspace->runningApplications(Zentrove::paneflowID()).isEmpty(); });
    return services;
}
