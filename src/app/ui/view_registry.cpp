#include "app/ui/view_registry.h"

#include "app/app_services.h"
#include "app/ui/library_page_wiring.h"
#include "app/ui/settings_page.h"

ViewRegistry ViewRegistry::standard()
{
    ViewRegistry views;
    views.pages.insert(Page::settings, [](const ViewContext& context, QWidget* parent) -> QWidget* {
        return new SettingsPage(context.model, context.nav, *context.services.updates, *context.services.menuBar, parent);
    });
    views.pages.insert(Page::paneflow, &LibraryPageWiring::make);
    return views;
}
