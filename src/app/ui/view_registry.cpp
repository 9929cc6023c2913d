#include "app/ui/view_registry.h"

#include "app/app_services.h"
#include "app/ensembles_model.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/ensembles_page.h"
#include "app/ui/feedback_sheet.h"
#include "app/ui/move_sheet.h"
#include "app/ui/uninstall_sheet.h"
#include "app/ui/zentrove_application.h"
#include "app/ui/library_page_wiring.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/settings_page.h"
#include "app/ui/setup_sheet.h"
#include "clock/ui/clock_page.h"
#include "core/part.h"
#include "core/zentrove.h"
#include "core/show_settings.h"
#include "library/library_store.h"
#include "menubar/ensemble_menu_model.h"
#include "menubar/paneflow_menu.h"
#include "menubar/ui/menu_content_view.h"
#include "menubar/zentrove_menu_bar.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "platform/system_facts.h"
#include "platform/workspace.h"
#include "taskbar/ui/taskbar_page.h"
#include "wallpaper/system_wallpaper.h"

#include <QCoreApplication>

#include <QElapsedTimer>
#include <QPointer>

namespace {

QWidget* ensemblesPage(const ViewContext& context, QWidget* parent)
{
    LibraryStore* library = context.services.library->libraryStore();
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

// The menu bar item's content as the live-wallpaper part shows it, over the app's library store:
// choosing an ensemble makes it current through the store.
QWidget* menuBarItemContent(const ViewContext& context, QWidget* parent)
{
    LibraryStore* library = context.services.library->libraryStore();
    if (!library)
        return new PlaceholderView(DesktopWords::current().fill(u"{MenuBar} item"), {}, parent);
    std::shared_ptr<Workspace> workspace = Workspace::makeSystem();
    MenuActions actions {
        [workspace] { Zentrove::showSettings(QStringLiteral("looks"), *workspace); },
        [workspace] { Zentrove::showSettings(QStringLiteral("feedback"), *workspace); },
        [workspace] { ZentroveMenuBar::quitZentrove(*workspace, [] { QCoreApplication::quit(); }); },
    };
    auto* view = new MenuContentView(std::make_unique<EnsembleMenuModel>(), [library, actions](EnsembleMenuModel& model) {
        return PaneflowMenu::make(model, *library, [library](const QUuid& id) { library->setCurrentEnsembleID(id); }, actions,
                                  MenuStatus::wallpaperStoreCheck());
    }, parent);
    QPointer<MenuContentView> guard(view);
    context.services.openMenuDetail = [guard](const QString& detail) {
        const QList<ScreenInfo> screens = Screens::all();
        if (guard && detail == QLatin1String("second") && screens.size() > 1)
            guard->model().setDisplayID(screens[1].displayID);
    };
    return view;
}

QWidget* taskbarPage(const ViewContext& context, QWidget* parent)
{
    if (!context.services.taskbarStore)
        return new PlaceholderView(QStringLiteral("Taskbar"), {}, parent);
    auto* page = new TaskbarPage(*context.services.taskbarStore, context.services.library->libraryStore(), parent);
    const Part part = *Part::withID(Zentrove::taskbarID());
    PartsModel& model = context.model;
    Navigation& nav = context.nav;
    page->setRunning(model.isRunning(part));
    QObject::connect(&model, &PartsModel::runningChanged, page, [page, &model, part] { page->setRunning(model.isRunning(part)); });
    QObject::connect(page, &TaskbarPage::quitRequested, &model, [&model, part] { model.quit(part); });
    QPointer<TaskbarPage> guarded(page);
    context.services.openTaskbarDetail = [guarded](const QString& detail) {
        if (guarded)
            guarded->openDetail(detail);
    };
    // Leaving the page with an edited style asks first; the answer moves on by itself.
    const auto guard = [guarded, &nav](Page target) {
        if (!guarded || nav.page() != Page::taskbar)
            return true;
        return guarded->mayLeave([&nav, target] { nav.setPage(target); });
    };
    QObject::connect(page, &TaskbarPage::leaveGuardChanged, page, [page, &nav, guard] {
        if (page->needsLeaveGuard())
            nav.setLeaveGuard(guard);
    });
    QObject::connect(&nav, &Navigation::reselectedChanged, page, [page, &nav] {
        if (nav.page() == Page::taskbar)
            page->reselect();
    });
    // Another page shown: the editor closes, and with it the hold on the bar.
    QObject::connect(&nav, &Navigation::pageChanged, page, [page, &nav] {
        if (nav.page() != Page::taskbar && page->isEditing())
            page->closeEditor();
    });
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
    views.pages.insert(Page::paneflow, &LibraryPageWiring::make);
    views.pages.insert(Page::taskbar, taskbarPage);
    views.menuContent = menuBarItemContent;
    views.setup = &SetupSheet::make;
    views.feedback = [](const ViewContext& context, std::function<void()> close, QWidget* parent) -> QWidget* {
        std::unique_ptr<Workspace> workspace = Workspace::makeSystem();
        auto* sheet = new FeedbackSheet(context.model.running(), std::move(close), Defaults::standard(), SystemFacts::system(),
                                        *workspace, parent);
        workspace.release()->setParent(sheet);
        return sheet;
    };
    views.move = [](const ViewContext&, std::function<void()>, QWidget* parent) -> QWidget* {
        std::unique_ptr<Workspace> workspace = Workspace::makeSystem();
        auto* sheet = new MoveSheet(MoveSheet::Actions::running(), *workspace, parent);
        workspace.release()->setParent(sheet);
        return sheet;
    };
    views.uninstall = [](const ViewContext& context, std::function<void()> close, QWidget* parent) -> QWidget* {
        std::unique_ptr<Workspace> workspace = Workspace::makeSystem();
        auto* sheet = new UninstallSheet(context.model, *workspace, UninstallSequence::Target::running(), std::move(close), [] {
            if (ZentroveApplication* app = ZentroveApplication::instance())
                app->terminate();
        }, parent);
        workspace.release()->setParent(sheet);
        return sheet;
    };
    return views;
}
