#include "app/ui/view_registry.h"

#include "app/app_services.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/settings_page.h"
#include "clock/ui/clock_page.h"
#include "core/part.h"
#include "core/zentrove.h"

#include <QPointer>

ViewRegistry ViewRegistry::standard()
{
    ViewRegistry views;
    views.pages.insert(Page::settings, [](const ViewContext& context, QWidget* parent) -> QWidget* {
        return new SettingsPage(context.model, context.nav, *context.services.updates, *context.services.menuBar, parent);
    });
    views.pages.insert(Page::vizavedid, [](const ViewContext& context, QWidget* parent) -> QWidget* {
        if (!context.services.clockStore)
            return new PlaceholderView(QStringLiteral("Lock Screen Clock"), {}, parent);
        auto* page = new ClockPage(*context.services.clockStore, context.services.library->libraryStore(), parent);
        const Part part = *Part::withID(Zentrove::vizaVedidID());
        PartsModel& model = context.model;
        Navigation& nav = context.nav;
        page->setRunning(model.isRunning(part));
        QObject::connect(&model, &PartsModel::runningChanged, page, [page, &model, part] { page->setRunning(model.isRunning(part)); });
        QPointer<ClockPage> guarded(page);
        context.services.openClockTab = [guarded](const QString& tab) {
            if (guarded)
                guarded->openTab(tab);
        };
        // Leaving the page with an edited preset asks first; the answer moves on by itself.
        const auto guard = [guarded, &nav](Page target) {
            if (!guarded || nav.page() != Page::vizavedid)
                return true;
            return guarded->mayLeave([&nav, target] { nav.setPage(target); });
        };
        QObject::connect(page, &ClockPage::leaveGuardChanged, page, [page, &nav, guard] {
            if (page->needsLeaveGuard())
                nav.setLeaveGuard(guard);
        });
        QObject::connect(&nav, &Navigation::reselectedChanged, page, [page, &nav] {
            if (nav.page() == Page::vizavedid)
                page->reselect();
        });
        return page;
    });
    return views;
}
