#include "clock/ui/clock_controls.h"
#include "core/notices.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "platform/desktop_apps.h"
#include "platform/process_identity.h"
#include "taskbar/layout_token.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/apps_editor.h"
#include "taskbar/ui/style_editor.h"
#include "taskbar/ui/taskbar_dialogs.h"
#include "taskbar/ui/taskbar_page.h"
#include "taskbar/ui/theme_card.h"

#include "brand/ui/toggle_switch.h"
#include "test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

Defaults& taskbarDomain() { return Defaults::domain(Zentrove::taskbarID()); }

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

bool trigger(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            action->trigger();
            return true;
        }
    }
    return false;
}

// Clicks the button of that text in the dialog the page shows.
bool answer(TaskbarPage& page, const QString& text)
{
    auto* box = qobject_cast<QMessageBox*>(page.dialog());
    if (!box)
        return false;
    QAbstractButton* button = TaskbarQuestions::button(box, text);
    if (!button)
        return false;
    button->click();
    return true;
}

void nudge(SliderRow* row, int steps)
{
    row->slider()->setFocus();
    for (int i = 0; i < std::abs(steps); ++i)
        QTest::keyClick(row->slider(), steps > 0 ? Qt::Key_Right : Qt::Key_Left);
}

void writeEntry(const QString& id, const QString& body)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + id + QStringLiteral(".desktop"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(body.toUtf8());
}

} // namespace

// The taskbar page as a person uses it, against a real settings store over a private domain.
class TestTaskbarPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<LibraryStore> library;
    std::unique_ptr<TaskbarPage> page;
    QStringList sent;
    QList<SettingsPane> opened;

    void make(bool withLibrary = false)
    {
        store = std::make_unique<SettingsStore>(taskbarDomain(), false);
        if (withLibrary) {
            const LibraryLocations where{home->dataHome() + QStringLiteral("/Paneflow"), home->path() + QStringLiteral("/shipped")};
            library = std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, where, LibraryServices{});
        }
        page = std::make_unique<TaskbarPage>(*store, library.get(), nullptr, [this](const QString& command) { sent << command; });
        page->openSettings = [this](SettingsPane pane) {
            sent << QStringLiteral("open");
            opened << pane;
        };
        page->resize(1100, 800);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    const Theme& theme(const QString& name)
    {
        for (const Theme& t : store->themes())
            if (t.name == name)
                return t;
        qFatal("no style %s", qPrintable(name));
    }
    TileStrip& strip() { return *page->appsEditor()->strip(); }
    QStringList storedLayout()
    {
        taskbarDomain().sync();
        QStringList list;
        const QVariantList stored = taskbarDomain().array(SettingsStore::layoutKey()).value_or(QVariantList());
        for (const QVariant& v : stored)
            list << v.toString();
        return list;
    }
    // A layout every tile test starts from: three apps, running apps, a divider, Downloads, Trash.
    void sampleLayout()
    {
        store->setLayout({QStringLiteral("org.gnome.Nautilus"), QStringLiteral("firefox"), QStringLiteral("org.gnome.Terminal"),
                          LayoutToken::running(), QStringLiteral("~divider:abcd1234"), LayoutToken::downloads(), LayoutToken::trash()});
    }

private slots:
    void initTestCase() { ProcessIdentity::set(Zentrove::bundleID()); }
    void init()
    {
        home = std::make_unique<TestHome>();
        sent.clear();
        opened.clear();
    }
    void cleanup()
    {
        page.reset();
        library.reset();
        store.reset();
        home.reset();
        qunsetenv("ZENTROVE_TASKBAR_HOLD_MS");
    }

    // --- the grid

    void clickSelectsAndDoubleClickApplies()
    {
        make();
        const Theme graphite = theme(QStringLiteral("Graphite"));
        const TaskbarSettings before = store->settings();
        const auto activeBefore = store->activeThemeID();
        ThemeCard* card = page->card(graphite.id);
        QVERIFY(card);
        QCOMPARE(page->cards().size(), store->themes().size());

        QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(card->isSelected());
        QCOMPARE(page->selectedID(), graphite.id);
        // Selecting changes nothing in the store.
        QCOMPARE(store->settings(), before);
        QCOMPARE(store->activeThemeID(), activeBefore);
        QVERIFY(!card->isInUse());

        // Another click moves the selection.
        const Theme infinity = theme(QStringLiteral("Infinity"));
        QTest::mouseClick(page->card(infinity.id), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!card->isSelected());
        QVERIFY(page->card(infinity.id)->isSelected());

        QTest::mouseDClick(card, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(store->activeThemeID(), graphite.id);
        QVERIFY(graphite.matches(store->settings()));
        QVERIFY(card->isInUse());
        QCOMPARE(card->statusText(), QStringLiteral("● IN USE"));
        QVERIFY(card->accessibleName().endsWith(QStringLiteral(", in use")));
        // Exactly one card is in use.
        int inUse = 0;
        for (ThemeCard* c : page->cards())
            inUse += c->isInUse();
        QCOMPARE(inUse, 1);
        // Behaviour stays the user's: applying a style changes only the look.
        QCOMPARE(store->settings().autoHide, before.autoHide);
    }

    void miniBarsAreDrawnOncePerSettingsChange()
    {
        make();
        ThemeCard* card = page->cards().first();
        QTRY_VERIFY(card->miniBar()->drawCount() >= 1);
        const int draws = card->miniBar()->drawCount();
        card->miniBar()->repaint();
        QCOMPARE(card->miniBar()->drawCount(), draws);
        // A behaviour change that the bar shows (the start button) redraws it.
        TaskbarSettings s = store->settings();
        s.startButton = !s.startButton;
        store->setSettings(s);
        card->miniBar()->repaint();
        QCOMPARE(card->miniBar()->drawCount(), draws + 1);
        QCOMPARE(card->miniBar()->settings().startButton, s.startButton);
    }

    void cardMenuDuplicatesRenamesResetsAndDeletes()
    {
        make(true);
        const Theme eclipse = theme(QStringLiteral("Eclipse"));
        std::unique_ptr<QMenu> menu(page->menuFor(eclipse.id));
        QStringList texts = actionTexts(menu.get());
        QVERIFY(texts.contains(QStringLiteral("Apply")));
        QVERIFY(texts.contains(QStringLiteral("Duplicate")));
        QVERIFY(texts.contains(QStringLiteral("Rename Bar Style")));
        QVERIFY(!texts.contains(QStringLiteral("Use in current ensemble"))); // no ensemble yet
        QVERIFY(!texts.contains(QStringLiteral("Reset to original")));      // not changed

        QVERIFY(trigger(menu.get(), QStringLiteral("Duplicate")));
        QCOMPARE(store->themes().size(), 5);
        QVERIFY(page->cards().size() == 5);

        // Inline rename; a name taken by another style is made unique, nothing is lost.
        menu.reset(page->menuFor(eclipse.id));
        QVERIFY(trigger(menu.get(), QStringLiteral("Rename Bar Style")));
        ThemeCard* card = page->card(eclipse.id);
        QVERIFY(card->isRenaming());
        QCOMPARE(card->renameField()->text(), QStringLiteral("Eclipse"));
        QTest::mouseClick(card->renameCancel(), Qt::LeftButton);
        QVERIFY(!card->isRenaming());
        QCOMPARE(theme(QStringLiteral("Eclipse")).id, eclipse.id);
        card->beginRename();
        card->renameField()->setText(QStringLiteral("Graphite"));
        QTest::keyClick(card->renameField(), Qt::Key_Return);
        QVERIFY(!card->isRenaming());
        QCOMPARE(store->themes().size(), 5);
        QCOMPARE(theme(QStringLiteral("Graphite 2")).id, eclipse.id);
        QVERIFY(theme(QStringLiteral("Graphite")).id != eclipse.id);

        // Use in current ensemble once there is one.
        const Wallpaper sky{QUuid::createUuid(), QStringLiteral("Sky"), QStringLiteral("Sky.mp4")};
        library->addWallpaper(sky);
        library->setCurrentEnsembleID(library->addEnsemble(sky.id, QStringLiteral("Evening")).id);
        menu.reset(page->menuFor(eclipse.id));
        QVERIFY(trigger(menu.get(), QStringLiteral("Use in current ensemble")));
        QCOMPARE(library->currentEnsemble()->taskbarTheme, eclipse.id);
        QTRY_COMPARE(page->card(eclipse.id)->ensemblesText(), LibraryStore::ensembleCountText(1));

        // Delete asks; Cancel keeps, Delete removes; a built-in can be restored.
        const Theme frog = theme(QStringLiteral("Frog Pond"));
        menu.reset(page->menuFor(frog.id));
        QVERIFY(trigger(menu.get(), QStringLiteral("Delete…")));
        QVERIFY(answer(*page, QStringLiteral("Cancel")));
        QVERIFY(page->card(frog.id));
        page->askDelete(frog.id);
        QVERIFY(answer(*page, QStringLiteral("Delete")));
        QVERIFY(!page->card(frog.id));
        QVERIFY(page->restoreButton()->isVisible());
        QCOMPARE(page->restoreButton()->text(), QStringLiteral("Restore 1 built-in style"));
        QTest::mouseClick(page->restoreButton(), Qt::LeftButton);
        QVERIFY(!page->restoreButton()->isVisible());
        QCOMPARE(store->themes().size(), 5);
    }

    void longGridsStartFolded()
    {
        make();
        for (int i = 0; i < 6; ++i)
            store->saveCurrentAsTheme(QStringLiteral("Mine"));
        QCOMPARE(store->themes().size(), 10);
        QCOMPARE(page->countLabel()->text(), QStringLiteral("10 styles"));
        QVERIFY(page->foldButton()->isVisible());
        QCOMPARE(page->foldButton()->text(), QStringLiteral("⌄ Show all 10"));
        int shown = 0;
        for (ThemeCard* card : page->cards())
            shown += card->isVisible();
        QCOMPARE(shown, TaskbarPage::foldedCount);
        QTest::mouseClick(page->foldButton(), Qt::LeftButton);
        QCOMPARE(page->foldButton()->text(), QStringLiteral("⌃ Show fewer"));
        shown = 0;
        for (ThemeCard* card : page->cards())
            shown += card->isVisible();
        QCOMPARE(shown, 10);
    }

    void newStyleSheetSavesTheBarAsItLooksNow()
    {
        make();
        QTest::mouseClick(page->newStyleButton(), Qt::LeftButton);
        auto* sheet = qobject_cast<StyleNameDialog*>(page->dialog());
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("New Bar Style"));
        QCOMPARE(sheet->field()->text(), QStringLiteral("My Style"));
        QVERIFY(sheet->findChild<QLabel*>() != nullptr);
        // Cancel changes nothing.
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        QCOMPARE(store->themes().size(), 4);

        TaskbarSettings s = store->settings();
        s.barHeight = 70;
        store->setSettings(s);
        page->askNewStyle();
        sheet = qobject_cast<StyleNameDialog*>(page->dialog());
        sheet->field()->setText(QStringLiteral("Tall"));
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
        QCOMPARE(store->themes().size(), 5);
        QCOMPARE(store->activeTheme()->name, QStringLiteral("Tall"));
        QVERIFY(store->activeTheme()->matches(store->settings()));
        QVERIFY(page->card(store->activeTheme()->id)->isInUse());
    }

    // --- your apps

    void dragReordersAndReassignsTheLayout()
    {
        make();
        sampleLayout();
        TileStrip& tiles = strip();
        QCOMPARE(tiles.tiles().size(), 7);
        const QPoint from = tiles.tiles()[0].rect.center();
        // Dropped on the right half of the third tile: it goes after the third app.
        const QPoint to = tiles.tiles()[3].rect.center() - QPoint(20, 0);
        QTest::mousePress(&tiles, Qt::LeftButton, {}, from);
        QTest::mouseMove(&tiles, from + QPoint(10, 0));
        QTest::mouseMove(&tiles, to);
        QTest::mouseRelease(&tiles, Qt::LeftButton, {}, to);
        const QStringList expected {QStringLiteral("firefox"), QStringLiteral("org.gnome.Terminal"), QStringLiteral("org.gnome.Nautilus"),
                                    LayoutToken::running(), QStringLiteral("~divider:abcd1234"), LayoutToken::downloads(), LayoutToken::trash()};
        QCOMPARE(store->layout(), expected);
        QCOMPARE(storedLayout(), expected);
        QCOMPARE(tiles.tiles()[2].item, QStringLiteral("org.gnome.Nautilus"));

        // Dragged to the end, past the Trash.
        const QPoint last = tiles.tiles().last().rect.center() + QPoint(TileStrip::tileWidth / 2 + 2, 0);
        QTest::mousePress(&tiles, Qt::LeftButton, {}, tiles.tiles()[0].rect.center());
        QTest::mouseMove(&tiles, last);
        QTest::mouseRelease(&tiles, Qt::LeftButton, {}, last);
        QCOMPARE(store->layout().last(), QStringLiteral("firefox"));

        // A click without moving only selects.
        const QStringList now = store->layout();
        QTest::mouseClick(&tiles, Qt::LeftButton, {}, tiles.tiles()[1].rect.center());
        QCOMPARE(store->layout(), now);
        QCOMPARE(tiles.selectedItem(), tiles.tiles()[1].item);
    }

    void unpinAndRemoveFromTileMenus()
    {
        make();
        const QString folder = home->path() + QStringLiteral("/Projects");
        QDir().mkpath(folder);
        sampleLayout();
        store->addFolder(folder);
        store->insert(QStringLiteral("~spacer:00112233"), QStringLiteral("firefox"));
        TileStrip& tiles = strip();

        std::unique_ptr<QMenu> menu(tiles.menuFor(tiles.tileOf(QStringLiteral("firefox"))));
        QCOMPARE(actionTexts(menu.get()), QStringList {QStringLiteral("Unpin")});
        QVERIFY(trigger(menu.get(), QStringLiteral("Unpin")));
        QVERIFY(!store->layout().contains(QStringLiteral("firefox")));
        QVERIFY(!storedLayout().contains(QStringLiteral("firefox")));

        for (const QString& item : {QStringLiteral("~divider:abcd1234"), QStringLiteral("~spacer:00112233"), LayoutToken::folder(folder)}) {
            menu.reset(tiles.menuFor(tiles.tileOf(item)));
            QVERIFY2(menu, qPrintable(item));
            QCOMPARE(actionTexts(menu.get()), QStringList {QStringLiteral("Remove")});
            QVERIFY(trigger(menu.get(), QStringLiteral("Remove")));
            QVERIFY(!store->layout().contains(item));
        }
        // Running apps, Downloads and the Trash have no menu and always stay.
        for (const QString& item : {LayoutToken::running(), LayoutToken::downloads(), LayoutToken::trash()})
            QVERIFY(!tiles.menuFor(tiles.tileOf(item)));
        QCOMPARE(store->layout(), (QStringList {QStringLiteral("org.gnome.Nautilus"), QStringLiteral("org.gnome.Terminal"), LayoutToken::running(),
                                                LayoutToken::downloads(), LayoutToken::trash()}));
    }

    void addDividerAndSpaceGoAfterTheSelectedTile()
    {
        make();
        sampleLayout();
        TileStrip& tiles = strip();
        AppsEditor& apps = *page->appsEditor();
        QTest::mouseClick(&tiles, Qt::LeftButton, {}, tiles.tiles()[tiles.tileOf(QStringLiteral("firefox"))].rect.center());
        QCOMPARE(tiles.selectedItem(), QStringLiteral("firefox"));
        QVERIFY(trigger(apps.addMenu(), QStringLiteral("Add Divider")));
        QStringList layout = store->layout();
        QVERIFY(LayoutToken::isDivider(layout[2]));
        QVERIFY(layout[2] != QStringLiteral("~divider:abcd1234"));
        QVERIFY(trigger(apps.addMenu(), QStringLiteral("Add Space")));
        layout = store->layout();
        // Still after the selected tile, so the space comes before the new divider.
        QVERIFY(LayoutToken::isSpacer(layout[2]));
        QVERIFY(LayoutToken::isDivider(layout[3]));
        QCOMPARE(layout.size(), 9);
        QCOMPARE(storedLayout(), layout);

        // Nothing selected: at the end.
        QTest::mouseClick(&tiles, Qt::LeftButton, {}, QPoint(tiles.width() - 2, tiles.height() - 2));
        QVERIFY(!tiles.selectedItem());
        QVERIFY(trigger(apps.addMenu(), QStringLiteral("Add Space")));
        QVERIFY(LayoutToken::isSpacer(store->layout().last()));
    }

    void addAppsAndFoldersThroughTheirPickers()
    {
        writeEntry(QStringLiteral("org.example.Notes"), QStringLiteral("[Desktop Entry]\nType=Application\nName=Notes, Lists\nIcon=/nonexistent/notes.png\nExec=notes\n"));
        writeEntry(QStringLiteral("org.example.Hidden"), QStringLiteral("[Desktop Entry]\nType=Application\nName=Hidden\nNoDisplay=true\n"));
        writeEntry(QStringLiteral("org.example.Plain"), QStringLiteral("[Desktop Entry]\nType=Application\nName=Plain\n"));
        make();
        sampleLayout();
        AppsEditor& apps = *page->appsEditor();
        QVERIFY(trigger(apps.addMenu(), QStringLiteral("Add Apps…")));
        QVERIFY(apps.appPicker());
        QCOMPARE(apps.appPicker()->windowTitle(), QStringLiteral("Choose apps to pin to the taskbar"));
        QListWidget* list = apps.appList();
        QListWidgetItem* notes = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QVERIFY(list->item(i)->data(Qt::UserRole).toString() != QStringLiteral("org.example.Hidden"));
            if (list->item(i)->data(Qt::UserRole).toString() == QStringLiteral("org.example.Notes"))
                notes = list->item(i);
        }
        QVERIFY(notes);
        QCOMPARE(notes->text(), QStringLiteral("Notes, Lists"));
        // Cancelled: nothing pinned.
        apps.appPicker()->reject();
        QCOMPARE(store->layout().size(), 7);

        apps.askApps();
        list = apps.appList();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toString().startsWith(QStringLiteral("org.example.")))
                list->item(i)->setSelected(true);
        apps.appPicker()->accept();
        QVERIFY(store->layout().contains(QStringLiteral("org.example.Notes")));
        QVERIFY(store->layout().contains(QStringLiteral("org.example.Plain")));
        // Pinned before the running apps; a broken icon and no icon both draw the fallback.
        QVERIFY(store->layout().indexOf(QStringLiteral("org.example.Plain")) < store->layout().indexOf(LayoutToken::running()));
        TileStrip& tiles = strip();
        const EditorTile& tile = tiles.tiles()[tiles.tileOf(QStringLiteral("org.example.Notes"))];
        QCOMPARE(tile.label, QStringLiteral("Notes, Lists"));
        QVERIFY(!tile.missing);
        tiles.repaint();

        // Folders: a cancelled dialog changes nothing; a chosen one is pinned before Downloads.
        apps.chooseFolder = [](QWidget*) { return QString(); };
        const QStringList before = store->layout();
        QVERIFY(trigger(apps.addMenu(), QStringLiteral("Add Folder…")));
        QCOMPARE(store->layout(), before);
        const QString folder = home->path() + QStringLiteral("/Documents");
        QDir().mkpath(folder);
        apps.chooseFolder = [folder](QWidget*) { return folder; };
        apps.askFolder();
        QCOMPARE(store->layout().indexOf(LayoutToken::folder(folder)) + 1, store->layout().indexOf(LayoutToken::downloads()));
    }

    void badLayoutEntriesAreShownAndKept()
    {
        make();
        const QString gone = home->path() + QStringLiteral("/Gone");
        store->setLayout({QStringLiteral("org.example.NotInstalled"), QStringLiteral("~future:thing"), LayoutToken::folder(gone),
                          LayoutToken::running(), LayoutToken::downloads(), LayoutToken::trash()});
        TileStrip& tiles = strip();
        const EditorTile unknown = tiles.tiles()[tiles.tileOf(QStringLiteral("~future:thing"))];
        QCOMPARE(unknown.kind, EditorTile::Kind::unknown);
        QCOMPARE(unknown.label, QStringLiteral("~future:thing"));
        QVERIFY(!tiles.menuFor(tiles.tileOf(QStringLiteral("~future:thing"))));
        const EditorTile app = tiles.tiles()[tiles.tileOf(QStringLiteral("org.example.NotInstalled"))];
        QVERIFY(app.missing);
        QCOMPARE(app.label, QStringLiteral("NotInstalled"));
        QVERIFY(tiles.tiles()[tiles.tileOf(LayoutToken::folder(gone))].missing);
        tiles.repaint();
        // Moving another tile keeps the unknown entry where it stands relative to the others.
        tiles.moveTile(0, int(tiles.tiles().size()));
        QCOMPARE(store->layout().first(), QStringLiteral("~future:thing"));
        QCOMPARE(store->layout().last(), QStringLiteral("org.example.NotInstalled"));
        QVERIFY(storedLayout().contains(QStringLiteral("~future:thing")));
    }

    void marksShowTheStartButtonAndWhereRunningAppsPart()
    {
        make();
        sampleLayout();
        TaskbarSettings s = store->settings();
        s.startButton = true;
        s.separateRunningApps = true;
        s.trash = TrashPlacement::corner;
        store->setSettings(s);
        TileStrip& tiles = strip();
        QCOMPARE(tiles.tiles().first().kind, EditorTile::Kind::startButton);
        QVERIFY(!tiles.tiles().first().movable());
        const int running = tiles.tileOf(LayoutToken::running());
        QCOMPARE(tiles.tiles()[running - 1].kind, EditorTile::Kind::runningSeparator);
        QCOMPARE(tiles.tiles()[tiles.tileOf(LayoutToken::trash())].label, QStringLiteral("Trash (Next to the clock)"));
        // A tile dropped on a mark goes before the next real entry.
        tiles.moveTile(tiles.tileOf(QStringLiteral("~divider:abcd1234")), running - 1);
        QCOMPARE(store->layout().indexOf(QStringLiteral("~divider:abcd1234")) + 1, store->layout().indexOf(LayoutToken::running()));
    }

    // --- how it works, also on the bar, permissions, reset

    void rowsWriteTheSettingsAndFollowTheStore()
    {
        make();
        auto* autoHide = qobject_cast<ToggleSwitch*>(page->control(QStringLiteral("Hide the bar automatically")));
        QVERIFY(autoHide);
        QVERIFY(!store->settings().autoHide);
        QVERIFY(page->reserveNote()->text().startsWith(QStringLiteral("Maximized")));
        QTest::mouseClick(autoHide, Qt::LeftButton);
        QVERIFY(store->settings().autoHide);
        QCOMPARE(page->reserveNote()->text(), QStringLiteral("Off while the bar hides itself, so windows can use the whole screen."));
        QVERIFY(!page->control(QStringLiteral("Keep windows clear of the bar"))->isEnabled());

        auto* overflow = qobject_cast<QComboBox*>(page->control(QStringLiteral("When it's too long")));
        overflow->setFocus();
        overflow->setCurrentIndex(2);
        emit overflow->activated(2);
        QCOMPARE(store->settings().overflow, BarOverflow::menu);

        auto* delay = static_cast<SliderRow*>(page->control(QStringLiteral("Preview delay")));
        QVERIFY(!delay->isEnabled());
        QTest::mouseClick(page->control(QStringLiteral("Show window previews")), Qt::LeftButton);
        QVERIFY(store->settings().showWindowPreviews);
        QVERIFY(delay->isEnabled());
        nudge(delay, 3);
        QCOMPARE(store->settings().previewDelay, 1.0);
        QCOMPARE(delay->valueText(), QStringLiteral("1.0s"));

        // Made elsewhere (the taskbar part): the page shows it.
        TaskbarSettings s = store->settings();
        s.showBadges = false;
        s.clockClick = ClockClick::nothing;
        store->setSettings(s);
        QVERIFY(!qobject_cast<ToggleSwitch*>(page->control(QStringLiteral("Show unread badges")))->isChecked());
        QCOMPARE(qobject_cast<QComboBox*>(page->control(QStringLiteral("Clicking the clock")))->currentIndex(), 2);

        // Also on the bar.
        QTest::mouseClick(page->control(QStringLiteral("Start button")), Qt::LeftButton);
        QVERIFY(store->settings().startButton);
    }

    void permissionButtonsAskThePartBeforeOpeningSettings()
    {
        make();
        QVERIFY(!store->accessibilityTrusted());
        QVERIFY(page->accessibilityBanner()->isVisible());
        auto* open = page->accessibilityBanner()->findChild<QPushButton*>();
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(sent, (QStringList {TaskbarCommands::askAccessibility(), QStringLiteral("open")}));
        QCOMPARE(opened, QList<SettingsPane> {SettingsPane::accessibility});

        TaskbarSettings s = store->settings();
        s.showWindowPreviews = true;
        store->setSettings(s);
        QVERIFY(page->screenRecordingButton()->isVisible());
        sent.clear();
        QTest::mouseClick(page->screenRecordingButton(), Qt::LeftButton);
        QCOMPARE(sent, (QStringList {TaskbarCommands::askScreenRecording(), QStringLiteral("open")}));
        QCOMPARE(opened.last(), SettingsPane::screenRecording);

        // The part reports both granted.
        store->reportTrusted(true);
        store->reportScreenRecording(true);
        QVERIFY(!page->accessibilityBanner()->isVisible());
        QVERIFY(!page->screenRecordingButton()->isVisible());
    }

    void resetLeavesLayoutAndStylesUntouched()
    {
        make();
        sampleLayout();
        store->applyTheme(theme(QStringLiteral("Infinity")));
        store->saveCurrentAsTheme(QStringLiteral("Mine"));
        TaskbarSettings s = store->settings();
        s.autoHide = true;
        s.barHeight = 80;
        s.showBadges = false;
        store->setSettings(s);
        const QStringList layout = store->layout();
        const QList<Theme> themes = store->themes();

        QTest::mouseClick(page->resetButton(), Qt::LeftButton);
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Reset all settings to their defaults?"));
        QCOMPARE(box->informativeText(), QStringLiteral("Your pinned apps and bar styles stay as they are."));
        QVERIFY(answer(*page, QStringLiteral("Cancel")));
        QCOMPARE(store->settings(), s);

        page->askReset();
        QVERIFY(answer(*page, QStringLiteral("Reset")));
        QCOMPARE(store->settings(), TaskbarSettings());
        QCOMPARE(store->layout(), layout);
        QCOMPARE(store->themes(), themes);
        QCOMPARE(storedLayout(), layout);
        QVERIFY(!qobject_cast<ToggleSwitch*>(page->control(QStringLiteral("Hide the bar automatically")))->isChecked());
    }

    // --- the editor

    void holdOpenAtOnceAndAtEveryIntervalThenRelease()
    {
        qputenv("ZENTROVE_TASKBAR_HOLD_MS", "60");
        make();
        QCOMPARE(page->editor()->hold().interval(), 60);
        QVERIFY(sent.isEmpty());
        QTest::mouseClick(page->editButton(), Qt::LeftButton);
        QVERIFY(page->isEditing());
        QCOMPARE(sent, QStringList {TaskbarCommands::holdOpen()});
        QTRY_VERIFY(sent.size() >= 3);
        QCOMPARE(sent.count(TaskbarCommands::holdOpen()), sent.size());
        // Opening another section does not start a second hold.
        const qsizetype held = sent.size();
        page->openEditor(QStringLiteral("clock"));
        QVERIFY(sent.size() <= held + 1);

        page->back();
        QVERIFY(!page->isEditing());
        QCOMPARE(sent.last(), TaskbarCommands::releaseHold());
        const qsizetype after = sent.size();
        QTest::qWait(200);
        QCOMPARE(sent.size(), after);

        // Closing the page while editing releases the bar too.
        page->openEditor(QStringLiteral("icons"));
        QCOMPARE(sent.last(), TaskbarCommands::holdOpen());
        page.reset();
        QCOMPARE(sent.last(), TaskbarCommands::releaseHold());
        QCOMPARE(BarHold::standardInterval(), 60);
        qunsetenv("ZENTROVE_TASKBAR_HOLD_MS");
        QCOMPARE(BarHold::standardInterval(), 20000);
    }

    void sectionsOpenByIdentifierAndControlsWriteTheStore()
    {
        make();
        QVERIFY(page->openDetail(QStringLiteral("Indicator")));
        QCOMPARE(page->editor()->section(), QStringLiteral("indicator"));
        QVERIFY(!page->openDetail(QStringLiteral("nosuch")));
        QCOMPARE(StyleEditor::sectionIDs().size(), 8);
        const StyleEditor::Controls& c = page->editor()->controls();

        // The indicator colour keeps its opacity when a colour is picked.
        const double alpha = store->settings().indicatorColor.a;
        c.indicatorColour->well()->choose(RGBA(0.2, 0.4, 0.6, 1));
        QCOMPARE(store->settings().indicatorColor, RGBA(0.2, 0.4, 0.6, alpha));

        page->openDetail(QStringLiteral("layout"));
        const double height = store->settings().barHeight;
        nudge(c.thickness, 2);
        QCOMPARE(store->settings().barHeight, height + 2);
        c.position->menu()->setCurrentIndex(2);
        QCOMPARE(store->settings().edge, BarEdge::left);
        // The corners are named for a bar on the left edge now.
        QCOMPARE(c.corners->button(1)->text(), title(BarCorners::top, BarEdge::left));

        page->openDetail(QStringLiteral("clock"));
        QTest::mouseClick(c.clockLooks[2], Qt::LeftButton);
        QCOMPARE(store->settings().clockFont, ClockFont::monospaced);
        QVERIFY(store->settings().showSeconds);
        QVERIFY(c.seconds->isChecked());
        QTest::mouseClick(c.clockLooks[3], Qt::LeftButton);
        QVERIFY(store->settings().showDate);
        QTest::keyClicks(c.dateFormat, QStringLiteral("EEE"));
        c.dateFormat->selectAll();
        QTest::keyClicks(c.dateFormat, QStringLiteral("d MMM"));
        QCOMPARE(store->settings().dateFormat, QStringLiteral("d MMM"));
        // An emptied field leaves the locale's pattern in place, not a blank date.
        c.dateFormat->selectAll();
        QTest::keyClick(c.dateFormat, Qt::Key_Backspace);
        QCOMPARE(store->settings().dateFormat, TaskbarSettings::macDateFormat());

        page->openDetail(QStringLiteral("nowplaying"));
        c.nowPlaying->menu()->setCurrentIndex(3);
        QCOMPARE(store->settings().nowPlaying, NowPlayingStyle::full);
        c.nowPlayingPreview->repaint();
    }

    void saveIntoAStyleWarnsWhenEnsemblesUseIt()
    {
        make(true);
        const Theme graphite = theme(QStringLiteral("Graphite"));
        store->applyTheme(graphite);
        page->openEditor(QStringLiteral("icons"));
        QVERIFY(!page->editor()->saveBar()->isVisible());
        nudge(page->editor()->controls().iconSize, 4);
        QVERIFY(store->activeThemeEdited());
        QVERIFY(page->editor()->saveBar()->isVisible());

        // Nobody else uses it: saved at once.
        QTest::mouseClick(page->editor()->saveButton(), Qt::LeftButton);
        QVERIFY(!page->dialog());
        QVERIFY(!store->activeThemeEdited());
        QCOMPARE(theme(QStringLiteral("Graphite")).layout->iconSize, store->settings().iconSize);
        QVERIFY(!page->editor()->saveBar()->isVisible());

        // Two ensembles use it: the warning names them, and Cancel saves nothing.
        const Wallpaper sky{QUuid::createUuid(), QStringLiteral("Sky"), QStringLiteral("Sky.mp4")};
        library->addWallpaper(sky);
        for (const QString& name : {QStringLiteral("One"), QStringLiteral("Two")})
            library->setLook(library->addEnsemble(sky.id, name), LibraryStore::LookSlot::taskbar, graphite.id);
        QCOMPARE(TaskbarQuestions::saveIntoUsedText(1), QStringLiteral("The ensemble that uses it gets them too. To keep it as it is, save them as a new style."));
        nudge(page->editor()->controls().iconSize, 2);
        const double saved = theme(QStringLiteral("Graphite")).layout->iconSize;
        QTest::mouseClick(page->editor()->saveButton(), Qt::LeftButton);
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QVERIFY(box);
        QCOMPARE(box->informativeText(), QStringLiteral("2 ensembles that use it get them too. To keep it as it is, save them as a new style."));
        QVERIFY(answer(*page, QStringLiteral("Cancel")));
        QCOMPARE(theme(QStringLiteral("Graphite")).layout->iconSize, saved);
        QVERIFY(store->activeThemeEdited());

        // Save as a New Style from the warning: a name sheet, then a new style; Graphite stays.
        page->askSaveInto();
        QVERIFY(answer(*page, QStringLiteral("Save as a New Style")));
        QTRY_VERIFY(qobject_cast<StyleNameDialog*>(page->dialog()));
        auto* sheet = qobject_cast<StyleNameDialog*>(page->dialog());
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Save as a New Style"));
        QCOMPARE(sheet->field()->text(), QStringLiteral("Graphite"));
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
        QCOMPARE(store->activeTheme()->name, QStringLiteral("Graphite 2"));
        QCOMPARE(theme(QStringLiteral("Graphite")).layout->iconSize, saved);
        QVERIFY(!store->activeThemeEdited());

        // And Save style saves into it.
        nudge(page->editor()->controls().iconSize, 1);
        store->applyTheme(theme(QStringLiteral("Graphite")));
        nudge(page->editor()->controls().iconSize, 1);
        page->askSaveInto();
        QVERIFY(answer(*page, QStringLiteral("Save style")));
        QCOMPARE(theme(QStringLiteral("Graphite")).layout->iconSize, saved + 1);
    }

    void discardGoesBackToTheSavedStyle()
    {
        make();
        const Theme infinity = theme(QStringLiteral("Infinity"));
        store->applyTheme(infinity);
        page->openEditor(QStringLiteral("appearance"));
        nudge(page->editor()->controls().edgeLine, 5);
        QVERIFY(store->activeThemeEdited());
        QTest::mouseClick(page->editor()->discardButton(), Qt::LeftButton);
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QCOMPARE(box->informativeText(), QStringLiteral("“Infinity” stays as it was saved."));
        QVERIFY(answer(*page, QStringLiteral("Cancel")));
        QVERIFY(store->activeThemeEdited());
        page->askDiscard();
        QVERIFY(answer(*page, QStringLiteral("Discard changes")));
        QVERIFY(!store->activeThemeEdited());
        QVERIFY(infinity.matches(store->settings()));
        QCOMPARE(theme(QStringLiteral("Infinity")), infinity);
    }

    void leaveQuestionAnswers()
    {
        make();
        const Theme frog = theme(QStringLiteral("Frog Pond"));
        store->applyTheme(frog);
        page->openEditor(QStringLiteral("layout"));
        // Nothing edited: leaving asks nothing.
        int left = 0;
        QVERIFY(page->mayLeave([&] { ++left; }));
        nudge(page->editor()->controls().edgeGap, 3);
        QVERIFY(page->needsLeaveGuard());
        const TaskbarSettings edited = store->settings();

        // Cancel stays in the editor with the changes.
        QVERIFY(!page->mayLeave([&] { ++left; }));
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QCOMPARE(box->text(), QStringLiteral("Save changes to “Frog Pond”"));
        QVERIFY(answer(*page, QStringLiteral("Cancel")));
        QCOMPARE(left, 0);
        QVERIFY(page->isEditing());
        QCOMPARE(store->settings(), edited);

        // Don't Save: the bar goes back to the style, and the page moves on.
        QVERIFY(!page->mayLeave([&] { ++left; }));
        QVERIFY(answer(*page, QStringLiteral("Don't Save")));
        QCOMPARE(left, 1);
        QVERIFY(frog.matches(store->settings()));
        QCOMPARE(store->themes().size(), 4);

        // Save as a New Style: kept under a new name, Frog Pond unchanged.
        nudge(page->editor()->controls().edgeGap, 2);
        page->back();
        QVERIFY(page->isEditing());
        QVERIFY(answer(*page, QStringLiteral("Save as a New Style")));
        QVERIFY(!page->isEditing());
        QCOMPARE(store->activeTheme()->name, QStringLiteral("Frog Pond 2"));
        QVERIFY(store->activeTheme()->matches(store->settings()));
        QCOMPARE(theme(QStringLiteral("Frog Pond")), frog);
        QCOMPARE(sent.last(), TaskbarCommands::releaseHold());
    }
};

QTEST_MAIN(TestTaskbarPage)
#include "tst_taskbar_page.moc"
