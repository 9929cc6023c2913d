#include "clip_maker.h"
#include "heic_maker.h"
#include "library_fixture.h"

#include "app/ui/app_style.h"
#include "brand/brand.h"
#include "brand/ui/toggle_switch.h"
#include "library/import/media_import.h"
#include "library/import/media_jobs.h"
#include "library/import/media_thumbnails.h"
#include "library/ui/activity_list.h"
#include "library/ui/library_page.h"
#include "library/ui/rename_dialog.h"
#include "library/ui/settings_popover.h"
#include "media/thumbnail_cache.h"
#include "library/ui/video_preview.h"
#include "library/ui/wallpaper_detail_page.h"
#include "library/ui/wallpaper_grid.h"
#include "platform/property_list.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList names(const QList<Wallpaper>& items)
{
    QStringList out;
    for (const Wallpaper& item : items)
        out << item.name;
    return out;
}

QStringList actionTexts(QMenu* menu)
{
    QStringList out;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            out << action->text();
    return out;
}

QAction* action(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

// The wallpapers page driven as a person would: typing, clicking chips and cards, menus, drops
// and the popover, over a real store with real media files.
class TestLibraryPage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    std::unique_ptr<LibraryFixture> f;
    std::unique_ptr<LibraryStore> store;
    std::unique_ptr<LibraryPage> page;
    QStringList revealed;
    QList<QUuid> openedEnsembles;

    QString media(const QString& name) const { return m_media.filePath(name); }

    // A wallpaper whose media is a copy of one of the test files.
    Wallpaper add(const QString& name, const QString& source)
    {
        const QString fileName = name + QLatin1Char('.') + QFileInfo(source).suffix();
        QFile::copy(media(source), f->where.videos() + QLatin1Char('/') + fileName);
        return Wallpaper{QUuid::createUuid(), name, fileName};
    }

    void openStore(bool withMedia = false)
    {
        LibraryServices services;
        if (withMedia)
            services = {std::make_shared<MediaThumbnails>(), std::make_shared<MediaImporter>(), std::make_shared<AccentRefresher>()};
        store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, f->where, services);
    }

    LibraryPage& openPage()
    {
        LibraryPageHooks hooks;
        hooks.reveal = [this](const QString& path) { revealed << path; };
        hooks.revealTitle = QStringLiteral("Show in Files");
        hooks.openEnsemble = [this](const QUuid& id) { openedEnsembles << id; };
        page = std::make_unique<LibraryPage>(*store, hooks);
        page->resize(1100, 800);
        page->show();
        return *page;
    }

    LibraryGridScreen& grid() { return *page->grid(); }

    // With ZENTROVE_SNAPSHOTS set to a folder, writes what the page shows now as NAME.png there,
    // so the states a test reaches can be looked at.
    void snapshot(const QString& name)
    {
        const QString folder = qEnvironmentVariable("ZENTROVE_SNAPSHOTS");
        if (folder.isEmpty())
            return;
        QTest::qWait(300); // thumbnails and facts come in from their workers
        page->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    // A drag that enters the page and drops there, as the window system delivers it.
    bool dropOnPage(QMimeData& data)
    {
        const QPoint at = page->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page.get(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page.get(), &drop);
        return drop.isAccepted();
    }

    void waitForImports()
    {
        QTRY_COMPARE_WITH_TIMEOUT(store->importing(), 0, 120000);
        MediaJobs::waitForAll();
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        // The window's look, so the pages lay out (and snapshots read) as in the app.
        Brand::registerFonts();
        AppStyle::apply(*qApp);
        QVERIFY(ClipMaker::pattern(media("clip.mp4"), "160x120", 30, 1));
        QImage still(96, 54, QImage::Format_RGB32);
        still.fill(QColor(40, 90, 160));
        QVERIFY(still.save(media("still.png")));
        const QByteArray apr = PropertyList::toBinary(QVariantMap{{"l", 0}, {"d", 1}}).toBase64();
        QVERIFY(makeHeic(media("day.heic"), {Qt::white, Qt::black}, desktopXmp({{"apr", apr}}, false)));
        QVERIFY(makeHeic(media("plain.heic"), {Qt::gray}));
        QFile notes(media("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture");
        notes.close();
        QFile broken(media("broken.mp4"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(4096, 'x'));
        broken.close();
        QDir().mkpath(media("folder.mov"));
    }

    void init()
    {
        f = std::make_unique<LibraryFixture>();
        // The shipped items count as offered already, so the library holds only what a case adds.
        const QVariantList tags{"Eclipse", "Graphite", "Infinity", "Frog Pond"};
        f->prefs().set(QStringLiteral("seededWallpapers"), tags);
        f->prefs().set(QStringLiteral("seededEnsembles"), tags);
        f->prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
        revealed.clear();
        openedEnsembles.clear();
    }

    void cleanup()
    {
        page.reset();
        MediaJobs::waitForAll();
        QCoreApplication::processEvents();
        store.reset();
        f.reset();
    }

    // Search: trimmed, case-blind, with a clear button; an empty result says so.
    void searchTrimsAndClears()
    {
        f->writeIndex({f->wallpaper("Beach House"), f->wallpaper("Forest"), f->wallpaper("Lagoon")}, {});
        openStore();
        openPage();
        QLineEdit* search = grid().searchField();
        QVERIFY(!grid().clearSearchAction()->isVisible());
        QTest::keyClicks(search, "  beach ");
        QCOMPARE(names(grid().shown()), QStringList{"Beach House"});
        QCOMPARE(page->view().search, QStringLiteral("  beach "));
        QVERIFY(grid().clearSearchAction()->isVisible());
        QCOMPARE(grid().clearSearchAction()->text(), QStringLiteral("Clear search"));

        search->clear();
        QTest::keyClicks(search, "zz");
        QVERIFY(grid().shown().isEmpty());
        QVERIFY(grid().noMatchLabel()->isVisible());
        QCOMPARE(grid().noMatchLabel()->text(), QStringLiteral("No wallpapers match."));
        snapshot("search-no-match");

        grid().clearSearchAction()->trigger();
        QCOMPARE(search->text(), QString());
        QCOMPARE(names(grid().shown()), QStringList({"Beach House", "Forest", "Lagoon"}));
        QVERIFY(grid().grid()->isVisible());
        QCOMPARE(grid().summaryLabel()->text().section(QStringLiteral(" · "), 0, 0), QStringLiteral("3 wallpapers"));
    }

    // A video is Live, a plain picture Still, a dynamic HEIC Dynamic (not Still); the chips count
    // them, the cards carry their badges, and "In an ensemble" follows the ensembles.
    void filtersAndBadges()
    {
        const Wallpaper video = add("Waves", "clip.mp4");
        const Wallpaper still = add("Blue", "still.png");
        const Wallpaper dynamic = add("Day", "day.heic");
        const Wallpaper plain = add("Grey", "plain.heic");
        const Ensemble waves{QUuid::createUuid(), "Waves", video.id};
        f->writeIndex({video, still, dynamic, plain}, {waves});
        f->prefs().set(QStringLiteral("currentEnsembleID"), waves.id.toString(QUuid::WithoutBraces).toUpper());
        openStore();
        openPage();
        QTRY_COMPARE(grid().count(LibraryFilter::dynamic), 1);
        QCOMPARE(grid().count(LibraryFilter::all), 4);
        QCOMPARE(grid().count(LibraryFilter::live), 1);
        QCOMPARE(grid().count(LibraryFilter::still), 2);
        QCOMPARE(grid().count(LibraryFilter::inLook), 1);
        QCOMPARE(grid().count(LibraryFilter::notInLook), 3);
        QCOMPARE(grid().chip(LibraryFilter::still)->text(), QStringLiteral("Still  2"));
        snapshot("grid-kinds");

        QTest::mouseClick(grid().chip(LibraryFilter::dynamic), Qt::LeftButton);
        QCOMPARE(page->view().filter, LibraryFilter::dynamic);
        QCOMPARE(names(grid().shown()), QStringList{"Day"});
        QTest::mouseClick(grid().chip(LibraryFilter::still), Qt::LeftButton);
        QCOMPARE(names(grid().shown()), QStringList({"Blue", "Grey"}));
        QVERIFY(!grid().chip(LibraryFilter::dynamic)->isChecked());
        QTest::mouseClick(grid().chip(LibraryFilter::notInLook), Qt::LeftButton);
        QCOMPARE(names(grid().shown()), QStringList({"Blue", "Day", "Grey"}));

        QTest::mouseClick(grid().chip(LibraryFilter::all), Qt::LeftButton);
        WallpaperGridModel* model = grid().grid()->gridModel();
        const auto badges = [model](const QUuid& id) { return model->index(model->row(id)).data(WallpaperGridModel::BadgesRole).toStringList(); };
        QCOMPARE(badges(video.id), QStringList{"IN USE"});
        QCOMPARE(badges(still.id), QStringList{"STILL"});
        QCOMPARE(badges(dynamic.id), QStringList{"DYNAMIC"});
        store->setCurrentID(still.id);
        QCOMPARE(badges(still.id), QStringList({"IN USE", "STILL"}));
        QVERIFY(badges(video.id).isEmpty());

        // Making an ensemble for a wallpaper moves it between the ensemble chips.
        store->addEnsemble(plain.id, "Grey");
        QCOMPARE(grid().count(LibraryFilter::inLook), 2);
        QCOMPARE(grid().count(LibraryFilter::notInLook), 2);
    }

    // The grid reads thumbnails off the main thread; a remade thumbnail is read again.
    void thumbnailsLoadAndReload()
    {
        const Wallpaper still = add("Blue", "still.png");
        f->writeIndex({still}, {});
        QImage red(64, 36, QImage::Format_RGB32);
        red.fill(Qt::red);
        QDir().mkpath(f->where.thumbnails());
        QVERIFY(red.save(f->where.thumbnailPath(still.id)));
        openStore(true);
        openPage();
        WallpaperGridModel* model = grid().grid()->gridModel();
        const QModelIndex index = model->index(0);
        QTRY_VERIFY(!index.data(WallpaperGridModel::ThumbnailRole).value<QImage>().isNull());
        QCOMPARE(index.data(WallpaperGridModel::ThumbnailRole).value<QImage>().pixelColor(5, 5), QColor(Qt::red));
        // On screen the picture fills the card's top inside its rounded outline.
        WallpaperGrid* view = grid().grid();
        const QRect card = view->cardRect(0);
        const auto painted = [&](QPoint at) { return view->viewport()->grab().toImage().pixelColor(card.topLeft() + at); };
        QTRY_COMPARE(painted(QPoint(card.width() / 2, 30)), QColor(Qt::red));
        QCOMPARE(painted(QPoint(int(Brand::radius) * 2, 2)), QColor(Qt::red));
        QVERIFY(painted(QPoint(0, 0)) != QColor(Qt::red));
        QVERIFY(painted(QPoint(card.width() - 1, 0)) != QColor(Qt::red));

        // "Refresh" from the card's menu remakes it from the media, then the card reloads.
        const int version = store->thumbnailVersion();
        QMenu* menu = grid().contextMenu(still.id);
        action(menu, "Refresh")->trigger();
        QTRY_VERIFY(store->thumbnailVersion() > version);
        QTRY_COMPARE(index.data(WallpaperGridModel::ThumbnailRole).value<QImage>().pixelColor(5, 5), QColor(40, 90, 160));
        QTRY_COMPARE(painted(QPoint(card.width() / 2, 30)), QColor(40, 90, 160));
        QVERIFY(grid().thumbnails().bytes() <= grid().thumbnails().maxBytes());
    }

    // Two hundred wallpapers, one with a very long name: the grid lays them out in columns and
    // cuts the long name; scrolling to the end shows the last card.
    void manyWallpapersAndLongNames()
    {
        QList<Wallpaper> items;
        QDir().mkpath(f->where.thumbnails());
        for (int i = 0; i < 200; ++i) {
            const QString name = i == 1 ? QStringLiteral("A wallpaper with a very long name that goes on and on past the card's edge")
                                        : QStringLiteral("Wallpaper %1").arg(i + 1);
            items << f->wallpaper(name, QStringLiteral("w%1.mp4").arg(i));
            QImage thumbnail(320, 180, QImage::Format_RGB32);
            thumbnail.fill(QColor::fromHsv((i * 37) % 360, 120, 170));
            thumbnail.save(f->where.thumbnailPath(items.last().id));
        }
        f->writeIndex(items, {});
        openStore();
        openPage();
        QCOMPARE(grid().shown().size(), 200);
        // Every column the grid counts holds a card: the row is full before it wraps.
        const int columns = grid().grid()->columns();
        QVERIFY(columns >= 3);
        QTRY_VERIFY(grid().summaryLabel()->text().startsWith(QStringLiteral("200 wallpapers · ")));
        QCOMPARE(grid().grid()->cardRect(columns - 1).top(), grid().grid()->cardRect(0).top());
        QVERIFY(grid().grid()->cardRect(columns).top() > grid().grid()->cardRect(0).top());
        snapshot("grid-200");
        const QRect first = grid().grid()->cardRect(0);
        const QRect second = grid().grid()->cardRect(1);
        QCOMPARE(first.top(), second.top());
        QCOMPARE(first.size(), second.size());
        grid().grid()->scrollToBottom();
        QTRY_VERIFY(grid().grid()->viewport()->rect().intersects(grid().grid()->cardRect(199)));
        snapshot("grid-200-end");
    }

    // The card menu's actions all go through the store.
    void contextMenuActsThroughTheStore()
    {
        const Wallpaper beach = f->wallpaper("Beach");
        const Wallpaper forest = f->wallpaper("Forest");
        f->writeIndex({beach, forest}, {});
        openStore();
        openPage();
        QMenu* menu = grid().contextMenu(beach.id);
        QCOMPARE(actionTexts(menu), QStringList({"Set as Wallpaper", "Refresh", "Show in Files", "Rename", "Remove from Library"}));

        action(menu, "Set as Wallpaper")->trigger();
        QCOMPARE(store->currentID(), std::optional<QUuid>(beach.id));
        action(menu, "Show in Files")->trigger();
        QCOMPARE(revealed, QStringList{store->mediaPath(beach)});

        // Rename: prefilled; the store trims and keeps names unique; Cancel changes nothing.
        action(menu, "Rename")->trigger();
        QTRY_VERIFY(page->renameDialog());
        RenameDialog* dialog = page->renameDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Rename"));
        QCOMPARE(dialog->field()->text(), QStringLiteral("Beach"));
        dialog->field()->setText("  Forest ");
        QTest::mouseClick(dialog->renameButton(), Qt::LeftButton);
        QCOMPARE(store->wallpaper(beach.id)->name, QStringLiteral("Forest 2"));
        action(grid().contextMenu(beach.id), "Rename")->trigger();
        QTRY_VERIFY(page->renameDialog() && page->renameDialog() != dialog);
        page->renameDialog()->field()->setText("   ");
        QTest::mouseClick(page->renameDialog()->renameButton(), Qt::LeftButton);
        QCOMPARE(store->wallpaper(beach.id)->name, QStringLiteral("Forest 2"));
        action(grid().contextMenu(beach.id), "Rename")->trigger();
        QTRY_VERIFY(page->renameDialog());
        page->renameDialog()->field()->setText("Sea");
        QTest::mouseClick(page->renameDialog()->cancelButton(), Qt::LeftButton);
        QCOMPARE(store->wallpaper(beach.id)->name, QStringLiteral("Forest 2"));
        QCOMPARE(names(grid().shown()), QStringList({"Forest 2", "Forest"}));

        const QString file = store->mediaPath(*store->wallpaper(forest.id));
        action(grid().contextMenu(forest.id), "Remove from Library")->trigger();
        QCOMPARE(names(store->items()), QStringList{"Forest 2"});
        QVERIFY(!QFile::exists(file));
        QCOMPARE(names(grid().shown()), QStringList{"Forest 2"});
    }

    // A click on a card opens its detail page; back returns to the grid with the state kept.
    void cardOpensDetailAndBackKeepsState()
    {
        f->writeIndex({f->wallpaper("Beach"), f->wallpaper("Forest")}, {});
        openStore();
        openPage();
        QTest::keyClicks(grid().searchField(), "for");
        QTRY_VERIFY(!grid().grid()->cardRect(0).isEmpty());
        QTest::mouseClick(grid().grid()->viewport(), Qt::LeftButton, {}, grid().grid()->cardRect(0).center());
        QVERIFY(page->detail());
        QCOMPARE(page->detail()->nameLabel()->text(), QStringLiteral("Forest"));
        QCOMPARE(page->view().openID, std::optional<QUuid>(store->items()[1].id));
        QTest::mouseClick(page->detail()->backButton(), Qt::LeftButton);
        QTRY_VERIFY(!page->detail());
        QVERIFY(!page->view().openID);
        QCOMPARE(grid().searchField()->text(), QStringLiteral("for"));
        QCOMPARE(names(grid().shown()), QStringList{"Forest"});
    }

    // The empty library shows the drop area; its button and Import open the picker.
    void emptyLibraryOffersThePicker()
    {
        f->writeIndex({}, {});
        openStore();
        openPage();
        QVERIFY(grid().emptyDrop()->isVisible());
        snapshot("empty");
        QCOMPARE(grid().findChild<QLabel*>("emptyHeading")->text(), QStringLiteral("No wallpapers yet"));
        QCOMPARE(grid().findChild<QLabel*>("emptyTitle")->text(), QStringLiteral("Drop videos or pictures here"));
        QCOMPARE(grid().chooseFilesButton()->text(), QStringLiteral("Choose files"));
        QTest::mouseClick(grid().chooseFilesButton(), Qt::LeftButton);
        QTRY_VERIFY(page->fileDialog());
        QFileDialog* dialog = page->fileDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Choose videos or pictures to add to your wallpapers"));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
        const QString filter = dialog->nameFilters().value(0);
        QVERIFY(filter.contains("*.mp4") && filter.contains("*.mov") && filter.contains("*.png") && filter.contains("*.heic"));
        QVERIFY(!filter.contains("*.txt"));
        dialog->reject();
        QTRY_VERIFY(!page->fileDialog());
    }

    // A drop takes only wallpaper files: a text file, a folder and a broken video go nowhere but
    // the broken video's failed card; the real video is imported with its progress shown.
    void dropImportsOnlyWallpaperFiles()
    {
        f->writeIndex({}, {});
        openStore(true);
        openPage();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(media("notes.txt")), QUrl::fromLocalFile(media("clip.mp4")),
                      QUrl::fromLocalFile(media("folder.mov"))});
        const QPoint at = page->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page.get(), &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(page->view().dropTargeted);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page.get(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!page->view().dropTargeted);
        QCOMPARE(store->activityLog().activities().size(), 1);
        QCOMPARE(store->activityLog().activities()[0].title, QStringLiteral("clip"));
        QTRY_COMPARE(grid().activityList()->cards().size(), 1);
        waitForImports();
        QCOMPARE(names(store->items()), QStringList{"clip"});
        QCOMPARE(ClipMaker::filesIn(f->where.videos()), QStringList{"clip.mp4"});
        ActivityCard* card = grid().activityList()->cards()[0];
        QCOMPARE(card->detailLabel()->text(), QStringLiteral("Added to library"));
        QVERIFY(!card->progressBar()->isVisible());
        QVERIFY(grid().activityList()->clearButton()->isVisible());

        // Nothing to take: the drop is refused and nothing starts.
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(media("notes.txt"))});
        QVERIFY(!dropOnPage(text));
        QCOMPARE(store->activityLog().activities().size(), 1);

        QMimeData bad;
        bad.setUrls({QUrl::fromLocalFile(media("broken.mp4"))});
        QVERIFY(dropOnPage(bad));
        QCOMPARE(store->activityLog().activities().size(), 2);
        waitForImports();

        QTRY_COMPARE(grid().activityList()->cards().size(), 2);
        snapshot("activities");
        ActivityCard* failed = grid().activityList()->cards()[1];
        QCOMPARE(failed->detailLabel()->text(), QStringLiteral("Couldn't read this video"));
        QVERIFY(failed->stateLabel()->isVisible());
        QCOMPARE(ClipMaker::filesIn(f->where.videos()), QStringList{"clip.mp4"});

        QTest::mouseClick(grid().activityList()->clearButton(), Qt::LeftButton);
        QVERIFY(store->activityLog().activities().isEmpty());
        QVERIFY(!grid().activityList()->isVisible());
    }

    // Running jobs show their progress as a whole percentage; failed ones are marked.
    void activityCardsShowProgress()
    {
        f->writeIndex({}, {});
        openStore();
        openPage();
        const QUuid job = store->activityLog().begin("Clip", "Copying into library", 0.0);
        store->activityLog().update(job, "Copying into library", 0.427);
        ActivityCard* card = grid().activityList()->cards().value(0);
        QVERIFY(card);
        QCOMPARE(card->percentLabel()->text(), QStringLiteral("42%"));
        QVERIFY(card->progressBar()->isVisible());
        QVERIFY(!grid().activityList()->clearButton()->isVisible());
        store->activityLog().finish(job, std::nullopt, QStringLiteral("Import failed"), true);
        QVERIFY(!card->progressBar()->isVisible());
        QCOMPARE(card->stateLabel()->text(), QStringLiteral("FAILED"));
    }

    // The detail page's main action: in use, use the ensemble that shows it, or make one; with
    // several displays it can aim at one display.
    void mainActionHasThreeStates()
    {
        const Wallpaper beach = f->wallpaper("Beach");
        const Wallpaper sea = f->wallpaper("Sea");
        const Wallpaper lone = f->wallpaper("Lone");
        const Ensemble day{QUuid::createUuid(), "Day", beach.id};
        const Ensemble evening{QUuid::createUuid(), "Evening", sea.id};
        f->writeIndex({beach, sea, lone}, {day, evening});
        f->prefs().set(QStringLiteral("currentEnsembleID"), day.id.toString(QUuid::WithoutBraces).toUpper());
        openStore();
        openPage();

        page->openWallpaper(beach.id);
        QCOMPARE(page->detail()->mainAction()->text(), QStringLiteral("In use"));
        QVERIFY(!page->detail()->mainAction()->isEnabled());

        page->openWallpaper(sea.id);
        WallpaperDetailPage* detail = page->detail();
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("Use ensemble Evening"));
        QCOMPARE(detail->mainActionHelp()->text(), QStringLiteral("Switches to the ensemble Evening: this wallpaper with its clock and taskbar style."));
        QTest::mouseClick(detail->mainAction(), Qt::LeftButton);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(evening.id));
        QCOMPARE(store->currentID(), std::optional<QUuid>(sea.id));
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("In use"));

        page->openWallpaper(lone.id);
        detail = page->detail();
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("Make a new ensemble"));
        QCOMPARE(detail->mainActionHelp()->text(),
                 QStringLiteral("Makes an ensemble named after this wallpaper and uses it. The clock and taskbar stay as they are."));
        QVERIFY(detail->targetButton()->isVisible()); // two displays

        // Aimed at the side display: the main display stays as it is.
        detail->setTarget({WallpaperDetailPage::Target::Kind::display, f->sideScreen});
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("Make a new ensemble for side"));
        QTest::mouseClick(detail->mainAction(), Qt::LeftButton);
        const std::optional<Ensemble> made = store->ensembleFor(lone.id);
        QVERIFY(made);
        QCOMPARE(made->name, QStringLiteral("Lone"));
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(evening.id));
        QCOMPARE(store->ownEnsemble(f->sideScreen)->id, made->id);
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("In use"));

        // All displays: the main one takes it and the side one follows.
        detail->setTarget({WallpaperDetailPage::Target::Kind::all, {}});
        QCOMPARE(detail->mainAction()->text(), QStringLiteral("Use ensemble Lone"));
        QTest::mouseClick(detail->mainAction(), Qt::LeftButton);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(made->id));
        QVERIFY(!store->ownEnsemble(f->sideScreen) || store->ownEnsemble(f->sideScreen)->id == made->id);
        QVERIFY(store->displayEnsembles().isEmpty());
    }

    // "New Ensemble from This Wallpaper": a new ensemble, a short finished activity that goes
    // after 4 seconds, and the Ensembles page opened on the new ensemble.
    void newEnsembleActivityGoesAfterFourSeconds()
    {
        const Wallpaper beach = f->wallpaper("Beach");
        f->writeIndex({beach}, {Ensemble{QUuid::createUuid(), "New Ensemble", beach.id}});
        openStore();
        openPage();
        page->openWallpaper(beach.id);
        QCOMPARE(page->detail()->ensemblesHeading()->text(), QStringLiteral("1 ensembles"));
        QTest::mouseClick(page->detail()->newEnsembleButton(), Qt::LeftButton);
        QCOMPARE(store->ensembles().size(), 2);
        const Ensemble made = store->ensembles().last();
        QCOMPARE(made.name, QStringLiteral("New Ensemble 2"));
        QCOMPARE(openedEnsembles, QList<QUuid>{made.id});
        QCOMPARE(store->activityLog().activities().size(), 1);
        const Activity activity = store->activityLog().activities()[0];
        QCOMPARE(activity.title, QStringLiteral("New ensemble created"));
        QCOMPARE(activity.detail, QStringLiteral("“New Ensemble 2” from wallpaper Beach"));
        QCOMPARE(activity.state, Activity::State::done);
        QCOMPARE(page->detail()->ensembleRows().size(), 2);
        QCOMPARE(page->detail()->ensembleRows()[1]->text(), QStringLiteral("Edit New Ensemble 2 on the Ensembles page"));
        QTest::mouseClick(page->detail()->ensembleRows()[0], Qt::LeftButton);
        QCOMPARE(openedEnsembles.size(), 2);

        QTest::qWait(3500);
        QCOMPARE(store->activityLog().activities().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(store->activityLog().activities().isEmpty(), 2000);
    }

    // Removing the open wallpaper in another process closes its detail page here.
    void removalElsewhereClosesTheDetail()
    {
        const Wallpaper beach = f->wallpaper("Beach");
        const Wallpaper sea = f->wallpaper("Sea");
        f->writeIndex({beach, sea}, {});
        openStore();
        openPage();
        page->openWallpaper(sea.id);
        QVERIFY(page->detail());

        QObject owner;
        QProcess* engine = new QProcess(&owner);
        engine->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        engine->start(TestSupport::buildDir() + QStringLiteral("/tests/zentrove-library-peer"),
                      {QStringLiteral("--id"), Zentrove::paneflowID(), QStringLiteral("--shipped"), f->where.shippedWallpapers,
                       QStringLiteral("engine-store")});
        QVERIFY(!TestSupport::waitForLine(engine, QStringLiteral("ready")).isEmpty());
        engine->write(("remove " + sea.id.toString(QUuid::WithoutBraces).toUpper() + "\n").toUtf8());
        QTRY_VERIFY_WITH_TIMEOUT(!page->detail(), 10000);
        QVERIFY(!page->view().openID);
        QCOMPARE(names(grid().shown()), QStringList{"Beach"});
        engine->closeWriteChannel();
        engine->terminate();
        engine->waitForFinished(5000);
    }

    // The popover's switches write the store's keys; Pause and Resume flip userPaused.
    void popoverSwitchesWriteTheStore()
    {
        f->writeIndex({f->wallpaper("Beach")}, {});
        openStore();
        openPage();
        QTRY_VERIFY(grid().summaryLabel()->text().startsWith(QStringLiteral("1 wallpaper · ")));
        QTest::mouseClick(grid().optionsButton(), Qt::LeftButton);
        SettingsPopover* popover = page->popover();
        QVERIFY(popover && popover->isVisible());
        for (LibrarySwitch which : SettingsPopover::switches()) {
            const bool before = store->switches().on(which);
            QCOMPARE(popover->toggle(which)->isChecked(), before);
            QTest::mouseClick(popover->toggle(which), Qt::LeftButton);
            QCOMPARE(store->switches().on(which), !before);
            QCOMPARE(f->prefs().value(LibrarySwitches::key(which)).toBool(), !before);
        }
        QCOMPARE(popover->pauseButton()->text(), QStringLiteral("Pause"));
        QVERIFY(!popover->pausedLine()->isVisible());
        QTest::mouseClick(popover->pauseButton(), Qt::LeftButton);
        QVERIFY(store->switches().on(LibrarySwitch::userPaused));
        QCOMPARE(f->prefs().value(QStringLiteral("userPaused")).toBool(), true);
        QCOMPARE(popover->pauseButton()->text(), QStringLiteral("Resume"));
        QVERIFY(popover->pausedLine()->isVisible());
        QCOMPARE(popover->pausedLine()->text(), QStringLiteral("The wallpaper is paused"));
        snapshot("popover");

        // A change from elsewhere shows at once; a click outside closes the popover.
        store->switches().set(LibrarySwitch::pauseOnBattery, false);
        QVERIFY(!popover->toggle(LibrarySwitch::pauseOnBattery)->isChecked());
        QTest::mouseClick(grid().searchField(), Qt::LeftButton);
        QVERIFY(!popover->isVisible());
    }

    // A video's preview decodes on a worker and loops; hiding the page or minimising its window
    // stops the decoding.
    void videoPreviewLoopsWhileShown()
    {
        const Wallpaper clip = add("Waves", "clip.mp4");
        f->writeIndex({clip}, {});
        openStore();
        openPage();
        page->openWallpaper(clip.id);
        VideoPreview* preview = page->detail()->videoPreview();
        QVERIFY(preview);
        QVERIFY(preview->isDecoding());
        // The clip holds 30 frames: more than that means it started over.
        QTRY_VERIFY_WITH_TIMEOUT(preview->framesShown() > 40, 5000);
        QVERIFY(!preview->frame().isNull());
        QTRY_COMPARE(page->detail()->fact("Resolution"), QStringLiteral("160x120"));
        snapshot("detail-video-clip");
        QCOMPARE(page->detail()->fact("Length"), QStringLiteral("1.0 s"));
        page->hide();
        QVERIFY(!preview->isDecoding());
        const int shown = preview->framesShown();
        QTest::qWait(200);
        QCOMPARE(preview->framesShown(), shown);
        page->show();
        QVERIFY(preview->isDecoding());
        QTRY_VERIFY(preview->framesShown() > shown);

        // A minimised window shows nothing: the decoding stops until the window comes back.
        page->window()->setWindowState(Qt::WindowMinimized);
        QVERIFY(!preview->isDecoding());
        const int minimised = preview->framesShown();
        QTest::qWait(200);
        QCOMPARE(preview->framesShown(), minimised);
        page->window()->setWindowState(Qt::WindowNoState);
        QVERIFY(preview->isDecoding());
        QTRY_VERIFY(preview->framesShown() > minimised);
    }

    // A dynamic picture shows its frames with labels, the current one marked, and its caption.
    void dynamicPictureShowsItsFrames()
    {
        const Wallpaper day = add("Day", "day.heic");
        f->writeIndex({day}, {});
        openStore();
        openPage();
        page->openWallpaper(day.id);
        WallpaperDetailPage* detail = page->detail();
        QTRY_VERIFY(detail->isLoaded());
        snapshot("detail-dynamic");
        QCOMPARE(detail->frameButtons().size(), 2);
        QCOMPARE(detail->frameButtons()[0]->text(), QStringLiteral("Light"));
        QCOMPARE(detail->frameButtons()[1]->text(), QStringLiteral("Dark"));
        int checked = 0;
        for (QToolButton* button : detail->frameButtons())
            checked += button->isChecked();
        QCOMPARE(checked, 1);
        QVERIFY(detail->frameCaption()->text().startsWith(QStringLiteral("Preview only.")));
        QCOMPARE(detail->fact("Changes with"), QStringLiteral("Light/Dark"));
        QTest::mouseClick(detail->frameButtons()[1], Qt::LeftButton);
        QTRY_VERIFY(!detail->picturePreview()->image().isNull());
        QTRY_COMPARE(detail->picturePreview()->image().pixelColor(4, 4).value() < 40, true);
        QTest::mouseClick(detail->frameButtons()[0], Qt::LeftButton);
        QTRY_COMPARE(detail->picturePreview()->image().pixelColor(4, 4).value() > 200, true);
    }
};

QTEST_MAIN(TestLibraryPage)
#include "tst_library_page.moc"
