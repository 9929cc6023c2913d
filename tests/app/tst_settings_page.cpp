#include "app/app_services.h"
#include "app/feed_updates_service.h"
#include "app/menu_bar_setting.h"
#include "menubar/zentrove_menu_bar.h"
#include "../library/notice_log.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "app/ui/dock_consent_dialog.h"
#include "app/ui/main_view.h"
#include "app/ui/off_banner.h"
#include "app/ui/part_row.h"
#include "app/ui/part_status_view.h"
#include "app/ui/settings_page.h"
#include "app/ui/sheet_host.h"
#include "app/ui/sidebar.h"
#include "brand/ui/toggle_switch.h"
#include "app/ui/view_registry.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QScrollBar>
#include <QScrollArea>

#include <memory>

namespace {
const Part paneflow = *Part::withID(Zentrove::paneflowID());
const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());
const Part taskbar = *Part::withID(Zentrove::taskbarID());
} // namespace

// The Settings page, the part views and the window frame, against fake parts.
class TestSettingsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    AppServices services;
    std::unique_ptr<PartsModel> model;
    std::unique_ptr<Navigation> nav;

    void makeModel()
    {
        model = std::make_unique<PartsModel>(loginItems, workspace, launcher, *services.safety, *services.install);
        nav = std::make_unique<Navigation>();
    }

    std::unique_ptr<SettingsPage> makePage()
    {
        return std::make_unique<SettingsPage>(*model, *nav, *services.updates, *services.menuBar);
    }

private slots:
    void initTestCase()
    {
        ProcessIdentity::set(Zentrove::bundleID());
        AppStyle::apply(*qApp);
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        loginItems = {};
        workspace.processes.clear();
        launcher.workspace = &workspace;
    }

    void cleanup()
    {
        nav.reset();
        model.reset();
        home.reset();
    }

    // The toggle stores the setting, tells the parts, and follows a change made elsewhere.
    void menuBarToggle()
    {
        makeModel();
        services.menuBar = std::make_shared<MenuBarSetting>();
        auto page = makePage();
        page->show();
        QVERIFY(page->menuBarToggle()->isChecked());
        NoticeLog notices(ZentroveMenuBar::shownChanged());
        QTest::mouseClick(page->menuBarToggle(), Qt::LeftButton);
        QVERIFY(!page->menuBarToggle()->isChecked());
        QVERIFY(!ZentroveMenuBar::isShown());
        QTRY_COMPARE(notices.objects, QStringList {QStringLiteral("0")});
        ZentroveMenuBar::setShown(true);
        QTRY_VERIFY(page->menuBarToggle()->isChecked());
        page.reset();
        services.menuBar = std::make_shared<MenuBarService>();
    }

    // The updates box follows the updater; a package install leaves updates to the package manager.
    void updatesBoxFollowsTheUpdater()
    {
        makeModel();
        Updater::Settings settings;
        settings.feed = QUrl(QStringLiteral("http://127.0.0.1:1/feed.json"));
        settings.scheduleDelayMs = 3600 * 1000;
        services.updates = std::make_shared<FeedUpdatesService>(Updater::makeSystem(settings));
        services.updates->begin(false, {});
        auto page = makePage();
        page->show();
        QVERIFY(page->automaticUpdatesToggle()->isChecked());
        QVERIFY(page->automaticUpdatesToggle()->isEnabled());
        QCOMPARE(page->automaticUpdatesDetail()->text(), QStringLiteral("About once a day."));
        QVERIFY(page->checkNowButton()->isEnabled());
        QTest::mouseClick(page->automaticUpdatesToggle(), Qt::LeftButton);
        QVERIFY(!page->automaticUpdatesToggle()->isChecked());
        QVERIFY(!services.updates->automaticallyChecks());
        // Checking: the button waits until the check ended, then the date shows.
        QTest::mouseClick(page->checkNowButton(), Qt::LeftButton);
        QVERIFY(!page->checkNowButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(page->checkNowButton()->isEnabled(), 20000);
        QVERIFY(services.updates->lastCheck());
        page.reset();

        settings.packaged = true;
        services.updates = std::make_shared<FeedUpdatesService>(Updater::makeSystem(settings));
        services.updates->begin(false, {});
        page = makePage();
        QVERIFY(!page->automaticUpdatesToggle()->isChecked());
        QVERIFY(!page->automaticUpdatesToggle()->isEnabled());
        QCOMPARE(page->automaticUpdatesDetail()->text(), QStringLiteral("Updates come from the package manager."));
        QVERIFY(!page->checkNowButton()->isEnabled());
        page.reset();
        services.updates = std::make_shared<UpdatesService>();
    }

    void showsOneRowPerPartWithItsStatus()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::enabled;
        loginItems.statuses[vizavedid.id] = LoginItemStatus::requiresApproval;
        loginItems.statuses[taskbar.id] = LoginItemStatus::notFound;
        workspace.run(paneflow.id);
        makeModel();
        auto page = makePage();
        const QList<PartRow*> rows = page->partRows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0]->part(), paneflow);
        QCOMPARE(rows[0]->status()->text(), QStringLiteral("Running"));
        QCOMPARE(rows[1]->status()->text(), QStringLiteral("Needs your OK in Startup Applications"));
        QCOMPARE(rows[1]->status()->actionTitle(), QStringLiteral("Open"));
        // Waiting for approval still counts as on.
        QVERIFY(rows[1]->toggle()->isChecked());
        QCOMPARE(rows[2]->status()->text(), QStringLiteral("Missing from the app. Reinstall Zentrove."));
        QVERIFY(!rows[2]->toggle()->isChecked());
        QVERIFY(!page->errorLine()->isVisibleTo(page.get()));
    }

    void statusActionsReachTheModel()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        loginItems.statuses[taskbar.id] = LoginItemStatus::requiresApproval;
        makeModel();
        auto page = makePage();
        PartStatusView* clock = page->partRows()[1]->status();
        QCOMPARE(clock->text(), QStringLiteral("Quit · starts again at login"));
        QCOMPARE(clock->actionTitle(), QStringLiteral("Start now"));
        clock->findChild<QPushButton*>()->click();
        QTRY_COMPARE(clock->text(), QStringLiteral("Running"));
        QVERIFY(clock->actionTitle().isEmpty());
        page->partRows()[2]->status()->findChild<QPushButton*>()->click();
        QCOMPARE(loginItems.calls.last(), QStringLiteral("openSettings"));
    }

    void switchTurnsPartsOnAndOffAndShowsErrors()
    {
        makeModel();
        auto page = makePage();
        ToggleSwitch* live = page->partRows()[0]->toggle();
        loginItems.registerFailure = QStringLiteral("Disk full");
        live->click();
        // The model refused: the switch goes back, and the error shows under the box.
        QVERIFY(!live->isChecked());
        QVERIFY(page->errorLine()->isVisibleTo(page.get()));
        QCOMPARE(page->errorLine()->text(), QStringLiteral("Live Wallpaper: Disk full"));
        loginItems.registerFailure.reset();
        live->click();
        QVERIFY(live->isChecked());
        QCOMPARE(model->status(paneflow), LoginItemStatus::enabled);
        QVERIFY(!page->errorLine()->isVisibleTo(page.get()));
        live->click();
        QVERIFY(!live->isChecked());
        QCOMPARE(model->status(paneflow), LoginItemStatus::notRegistered);
    }

    void taskbarSwitchAsksAboutTheDock()
    {
        makeModel();
        auto page = makePage();
        QWidget window;
        SheetHost sheets({*model, *nav, services}, {}, &window);
        window.show();
        ToggleSwitch* bar = page->partRows()[2]->toggle();
        bar->click();
        QVERIFY(!bar->isChecked());
        QVERIFY(loginItems.calls.isEmpty());
        QTRY_VERIFY(qobject_cast<DockConsentDialog*>(sheets.current()));
        auto* dialog = qobject_cast<DockConsentDialog*>(sheets.current());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Hide the dock or panel?"));
        // Drawn inside the window, not as a window of its own.
        QVERIFY(!dialog->isWindow());
        QCOMPARE(dialog->window(), &window);
        QVERIFY(dialog->isVisible());

        dialog->cancelButton()->click();
        QTRY_VERIFY(!sheets.current());
        QVERIFY(!model->askDockConsent());
        QVERIFY(!model->dockAgreed());
        QVERIFY(loginItems.calls.isEmpty());

        // Escape is Cancel.
        bar->click();
        QTRY_VERIFY(qobject_cast<DockConsentDialog*>(sheets.current()));
        QTest::keyClick(sheets.current(), Qt::Key_Escape);
        QTRY_VERIFY(!sheets.current());
        QVERIFY(!model->askDockConsent());
        QVERIFY(!model->dockAgreed());
        QVERIFY(!bar->isChecked());
        QVERIFY(loginItems.calls.isEmpty());

        bar->click();
        QTRY_VERIFY(qobject_cast<DockConsentDialog*>(sheets.current()));
        qobject_cast<DockConsentDialog*>(sheets.current())->hideButton()->click();
        QTRY_VERIFY(bar->isChecked());
        QVERIFY(model->dockAgreed());
        QCOMPARE(loginItems.calls, QStringList{QStringLiteral("register ") + taskbar.id});
    }

    void openButtonGoesToThePartsPage()
    {
        makeModel();
        auto page = makePage();
        page->partRows()[1]->openButton()->click();
        QCOMPARE(nav->page(), Page::vizavedid);
        page->uninstallButton()->click();
        QVERIFY(nav->showUninstall());
    }

    void sidebarAndBanners()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        makeModel();
        MainView view({*model, *nav, services}, ViewRegistry::standard());
        view.resize(1180, 820);
        view.show();
        QCOMPARE(nav->page(), Page::looks);
        QVERIFY(!view.banner(Page::looks));
        QVERIFY(!view.banner(Page::settings));

        view.sidebar()->item(Page::paneflow)->click();
        QCOMPARE(nav->page(), Page::paneflow);
        QVERIFY(view.sidebar()->item(Page::paneflow)->isChecked());
        QVERIFY(!view.sidebar()->item(Page::looks)->isChecked());
        OffBanner* wallpaper = view.banner(Page::paneflow);
        QVERIFY(wallpaper->isVisible());
        QCOMPARE(wallpaper->text(), QStringLiteral("Live Wallpaper isn't running. Changes are saved and apply when it starts."));
        QCOMPARE(wallpaper->button()->text(), QStringLiteral("Turn on"));
        QCOMPARE(view.banner(Page::vizavedid)->button()->text(), QStringLiteral("Start now"));

        // Reselecting counts and stays.
        view.sidebar()->item(Page::paneflow)->click();
        QCOMPARE(nav->reselected(), 1);
        QVERIFY(view.sidebar()->item(Page::paneflow)->isChecked());

        // A page that keeps the user: the sidebar does not move.
        nav->setLeaveGuard([](Page) { return false; });
        view.sidebar()->item(Page::settings)->click();
        QCOMPARE(nav->page(), Page::paneflow);
        QVERIFY(view.sidebar()->item(Page::paneflow)->isChecked());
        QVERIFY(!view.sidebar()->item(Page::settings)->isChecked());
        nav->clearLeaveGuard();

        wallpaper->button()->click();
        QCOMPARE(model->status(paneflow), LoginItemStatus::enabled);
        QCOMPARE(wallpaper->button()->text(), QStringLiteral("Start now"));
        wallpaper->button()->click();
        QTRY_VERIFY(wallpaper->isHidden());
        QVERIFY(!view.banner(Page::vizavedid)->isHidden());
    }

    void bannerLeavesRoomBelowThePagesLastRow()
    {
        makeModel();
        QLabel* last = nullptr;
        ViewRegistry views;
        views.pages.insert(Page::vizavedid, [&last](const ViewContext&, QWidget* parent) -> QWidget* {
            auto* scroll = new QScrollArea(parent);
            auto* content = new QWidget;
            auto* column = new QVBoxLayout(content);
            column->setContentsMargins(0, 0, 0, 0);
            auto* tall = new QWidget(content);
            tall->setFixedHeight(2000);
            tall->setStyleSheet(QStringLiteral("background: red;"));
            tall->setAttribute(Qt::WA_StyledBackground);
            column->addWidget(tall);
            last = new QLabel(QStringLiteral("Last row"), content);
            column->addWidget(last);
            scroll->setWidget(content);
            scroll->setWidgetResizable(true);
            return scroll;
        });
        MainView view({*model, *nav, services}, views);
        view.resize(1180, 820);
        view.show();
        nav->setPage(Page::vizavedid);
        OffBanner* banner = view.banner(Page::vizavedid);
        QTRY_VERIFY(banner->isVisible());
        auto* scroll = qobject_cast<QScrollArea*>(last->parentWidget()->parentWidget()->parentWidget());
        QVERIFY(scroll);
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        // Scrolled to the end, the last row sits wholly above the banner, which hides what passes under it.
        QTRY_VERIFY(last->mapTo(banner->parentWidget(), QPoint(0, last->height())).y() <= banner->geometry().top());
        scroll->verticalScrollBar()->setValue(0);
        const QImage underBanner = banner->parentWidget()->grab(banner->geometry().adjusted(12, 12, -12, -12)).toImage();
        QVERIFY(!underBanner.isNull());
        for (int y = 0; y < underBanner.height(); y += 3)
            for (int x = 0; x < underBanner.width(); x += 3)
                QVERIFY2(underBanner.pixelColor(x, y).red() - underBanner.pixelColor(x, y).green() < 60, "the page shows through the banner");

        // Running, the banner goes and so does the room kept for it.
        model->set(vizavedid, true);
        model->start(vizavedid);
        QTRY_VERIFY(banner->isHidden());
        QCOMPARE(last->parentWidget()->contentsMargins().bottom(), 0);
    }

    void sheetsFollowTheirFlags()
    {
        makeModel();
        QWidget window;
        SheetHost sheets({*model, *nav, services}, {}, &window);
        window.show();
        nav->setShowFeedback(true);
        QTRY_VERIFY(sheets.current());
        QCOMPARE(sheets.current()->windowTitle(), QStringLiteral("Send Feedback"));
        // Closing the sheet lowers its flag; lowering the flag closes the sheet.
        sheets.current()->close();
        QTRY_VERIFY(!nav->showFeedback());
        nav->setShowUninstall(true);
        QTRY_VERIFY(sheets.current());
        nav->setShowUninstall(false);
        QTRY_VERIFY(!sheets.current());
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settings_page.moc"
