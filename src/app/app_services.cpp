#include "app/app_services.h"

#include "app/zentrove.h"
#include "library/store_library_service.h"
#include "looks/ensemble_theme.h"
#include "platform/workspace.h"

AppServices AppServices::standard()
{
    AppServices services;
    services.library = std::make_shared<StoreLibraryService>();
    // Choosing an ensemble from outside the store asks the live-wallpaper part when it runs.
    std::shared_ptr<Workspace> workspace = Workspace::createSystem();
    EnsembleTheme::setPartRunningCheck([workspace] { return !workspace->runningApplications(Zentrove::paneflowID()).isEmpty(); });
    return services;
}
