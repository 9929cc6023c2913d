#include "app/ui/view_registry.h"

#include "app/app_services.h"
#include "app/ensembles_model.h"
#include "app/parts_model.h"
#include "app/ui/ensembles_page.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/settings_page.h"
#include "core/part.h"
#include "core/zentrove.h"
#include "wallpaper/system_wallpaper.h"

#include <QElapsedTimer>
#include <QPointer>

namespace {

QWidget* ensemblesPage(const ViewContext& context, QWidget* parent)
{
    LibraryStore* library = context.services.library->store();
    if (!library || !context.services.clockStore || !context.services.taskbarStore)
        return new PlaceholderView(QStringLiteral("Ensembles"), {}, parent);
    EnsemblesInputs inputs;
    PartsModel* model = &context.model;
    inputs.paneflowRunning = [model] { return model->isRunning(*Part::withID(Zentrove::paneflowID())); };
    // The desktop's wallpaper store is looked at again at most every few seconds, not at every
    // repaint of the caption.
    inputs.wallpaperStoreSetUp = [checked = std::make_shared<QElapsedTimer>(), setUp = std::make_shared<bool>(true)] {
        if (!checked->isValid() || checked->hasExpired(5000)) {
            *setUp = SystemWallpaper::isSetUp();
            checked->start();
        }
        return *setUp;
    };
    auto* ensembles = new EnsemblesModel(*library, *context.services.clockStore, *context.services.taskbarStore, context.nav, inputs);
    auto* page = new EnsemblesPage(*ensembles, parent);
    ensembles->setParent(page);
    QPointer<EnsemblesPage> guard(page);
    context.services.openLooksDetail = [guard](const QString& detail) {
        if (guard)
            guard->openDetail(detail);
    };
    return page;
}

} // namespace

ViewRegistry ViewRegistry::standard()
{
    ViewRegistry views;
    views.pages.insert(Page::looks, ensemblesPage);
    views.pages.insert(Page::settings, [](const ViewContext& context, QWidget* parent) -> QWidget* {
        return new SettingsPage(context.model, context.nav, *context.services.updates, *context.services.menuBar, parent);
    });
    return views;
}
