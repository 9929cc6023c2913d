#include "app/ui/library_page_wiring.h"

#include "app/app_services.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/store_library_service.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/view_registry.h"
#include "core/zentrove.h"
#include "library/ui/library_page.h"
#include "library/ui/settings_popover.h"
#include "platform/desktop_words.h"
#include "platform/workspace.h"

#include <QPointer>
#include <QTimer>

QWidget* LibraryPageWiring::make(const ViewContext& context, QWidget* parent)
{
    auto* library = dynamic_cast<StoreLibraryService*>(context.services.library.get());
    if (!library)
        return new PlaceholderView(QStringLiteral("Wallpapers"), {}, parent);

    Navigation& nav = context.nav;
    PartsModel& model = context.model;
    std::shared_ptr<Workspace> workspace = Workspace::makeSystem();
    LibraryPageHooks hooks;
    hooks.reveal = [workspace](const QString& path) { workspace->revealFile(path); };
    hooks.revealTitle = DesktopWords::current().fill(u"Show in {fileManager}");
    hooks.openEnsemble = [&nav](const QUuid& id) {
        nav.setOpenEnsemble(id);
        nav.go(Page::looks);
    };
    auto* page = new LibraryPage(library->store(), hooks, parent);

    const Part part = *Part::withID(Zentrove::paneflowID());
    page->setRunning(model.isRunning(part));
    QObject::connect(&model, &PartsModel::runningChanged, page, [page, &model, part] { page->setRunning(model.isRunning(part)); });

    // A request to open a wallpaper is taken and cleared; one made before the window existed
    // (a "--show paneflow.current" at launch) is taken now.
    const auto takeOpen = [page, &nav] {
        if (const std::optional<QUuid> id = nav.openWallpaper()) {
            nav.setOpenWallpaper(std::nullopt);
            page->openWallpaper(*id);
        }
    };
    // An import request opens the picker on the next turn of the main loop.
    const auto takeImport = [page, &nav] {
        if (!nav.importVideo())
            return;
        nav.setImportVideo(false);
        QTimer::singleShot(0, page, &LibraryPage::chooseFiles);
    };
    QObject::connect(&nav, &Navigation::openWallpaperChanged, page, takeOpen);
    QObject::connect(&nav, &Navigation::importVideoChanged, page, takeImport);
    QObject::connect(&nav, &Navigation::reselectedChanged, page, [page, &nav] {
        if (nav.page() == Page::paneflow)
            page->reselect();
    });
    context.services.openLibraryDetail = [page = QPointer<LibraryPage>(page)](const QString& detail) {
        if (page && detail == QLatin1String("options") && !(page->popover() && page->popover()->isVisible()))
            page->showOptions();
    };
    takeOpen();
    takeImport();
    return page;
}
