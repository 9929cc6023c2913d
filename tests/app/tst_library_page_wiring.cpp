#include "app/app_services.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/store_library_service.h"
#include "app/ui/main_view.h"
#include "app/ui/sidebar.h"
#include "app/ui/view_registry.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "library/library_files.h"
#include "library/ui/library_page.h"
#include "library/ui/settings_popover.h"
#include "library/ui/wallpaper_detail_page.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

// The wallpapers page inside the window: the navigation's requests reach it and are cleared,
// its state survives switching pages, and it opens the Ensembles page through the navigation.
class TestLibraryPageWiring : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    AppServices services;
    std::unique_ptr<PartsModel> model;
    std::unique_ptr<Navigation> nav;
    Wallpaper beach;
    Ensemble day;

private slots:
    void initTestCase() { ProcessIdentity::set(Zentrove::bundleID()); }

    void init()
    {
        home = std::make_unique<TestHome>();
        const LibraryLocations where{home->dataHome() + "/Paneflow", home->path() + "/shipped"};
        QDir().mkpath(where.videos());
        beach = Wallpaper{QUuid::createUuid(), "Beach", "Beach.png"};
        QImage(8, 8, QImage::Format_RGB32).save(where.videos() + "/Beach.png");
        day = Ensemble{QUuid::createUuid(), "Day", beach.id};
        LibraryFiles::writeIndex(where, {beach}, {day});
        const QVariantList tags{"Eclipse", "Graphite", "Infinity", "Frog Pond"};
        Defaults::domain(Zentrove::paneflowID()).set("seededWallpapers", tags);
        Defaults::domain(Zentrove::paneflowID()).set("seededEnsembles", tags);
        services = AppServices();
        services.library = std::make_shared<StoreLibraryService>(
            std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, where, LibraryServices{}));
        launcher.workspace = &workspace;
        model = std::make_unique<PartsModel>(loginItems, workspace, launcher, *services.safety, *services.install);
        nav = std::make_unique<Navigation>();
    }

    void cleanup()
    {
        nav.reset();
        model.reset();
        services = AppServices();
        home.reset();
    }

    void requestsReachThePageAndAreCleared()
    {
        // Asked before the window exists, as "--show paneflow.current" does at launch.
        nav->setPage(Page::paneflow);
        nav->setOpenWallpaper(beach.id);
        MainView view({*model, *nav, services}, ViewRegistry::standard());
        view.resize(1180, 820);
        view.show();
        auto* page = qobject_cast<LibraryPage*>(view.page(Page::paneflow));
        QVERIFY(page);
        QVERIFY(page->detail());
        QCOMPARE(page->detail()->wallpaperID(), beach.id);
        QVERIFY(!nav->openWallpaper());

        // State survives another page.
        nav->go(Page::settings);
        nav->go(Page::paneflow);
        QVERIFY(page->detail());

        // Picking the shown page again leaves the detail page.
        view.sidebar()->item(Page::paneflow)->click();
        QVERIFY(!page->detail());
        nav->setOpenWallpaper(beach.id);
        QVERIFY(page->detail());
        QVERIFY(!nav->openWallpaper());

        // An ensemble row switches to the Ensembles page with that ensemble.
        page->detail()->ensembleRows().value(0)->click();
        QCOMPARE(nav->page(), Page::looks);
        QCOMPARE(nav->openEnsemble(), std::optional<QUuid>(day.id));

        // Import opens the picker on the next turn, and the request is cleared.
        nav->setImportVideo(true);
        QVERIFY(!nav->importVideo());
        QVERIFY(!page->fileDialog());
        QTRY_VERIFY(page->fileDialog());
        page->fileDialog()->reject();

        // "--show paneflow.options" opens the popover.
        nav->go(Page::paneflow);
        services.openLibraryDetail(QStringLiteral("options"));
        QVERIFY(page->popover() && page->popover()->isVisible());
    }

    void runningFollowsThePart()
    {
        MainView view({*model, *nav, services}, ViewRegistry::standard());
        auto* page = qobject_cast<LibraryPage*>(view.page(Page::paneflow));
        QVERIFY(!page->view().running);
        workspace.run(Zentrove::paneflowID());
        QTRY_VERIFY(page->view().running);
    }
};

QTEST_MAIN(TestLibraryPageWiring)
#include "tst_library_page_wiring.moc"
