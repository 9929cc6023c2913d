#include "../library/library_fixture.h"
#include "clip_maker.h"

#include "app/ensembles_model.h"
#include "app/navigation.h"
#include "app/ui/app_style.h"
#include "app/ui/change_ensemble_box.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/ensemble_dialogs.h"
#include "app/ui/ensemble_editor.h"
#include "app/ui/ensembles_page.h"
#include "app/ui/look_preview.h"
#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "clock/style_store.h"
#include "looks/look_request.h"
#include "platform/desktop_words.h"
#include "taskbar/settings_store.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("—") : action->text());
    return texts;
}

QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QColor colourOf(QLabel* label)
{
    // Captions carry their colour in their own style sheet: "color: rgba(r, g, b, a);".
    const QString sheet = label->styleSheet();
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("rgba\\((\\d+), (\\d+), (\\d+)")).match(sheet);
    return m.hasMatch() ? QColor(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QColor();
}

} // namespace

// The ensembles page driven as a person clicks, against real stores in a private home.
class TestEnsemblesPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<LibraryFixture> f;
    std::unique_ptr<LibraryStore> library;
    std::unique_ptr<StyleStore> clocks;
    std::unique_ptr<SettingsStore> taskbar;
    std::unique_ptr<Navigation> nav;
    std::unique_ptr<EnsemblesModel> model;
    std::unique_ptr<EnsemblesPage> page;
    bool storeSetUp = true;
    Wallpaper beach, dune, forest;
    Ensemble sea, sand, woods;

    // Three wallpapers with one ensemble each; the first is current. Two displays unless `one`.
    void open(bool one = false)
    {
        f = std::make_unique<LibraryFixture>();
        if (one)
            Screens::setOverride(QList<ScreenInfo> {f->mainScreen});
        beach = f->wallpaper(QStringLiteral("Beach"));
        dune = f->wallpaper(QStringLiteral("Dune"));
        forest = f->wallpaper(QStringLiteral("Forest"));
        sea = {QUuid::createUuid(), QStringLiteral("Sea"), beach.id};
        sand = {QUuid::createUuid(), QStringLiteral("Sand"), dune.id};
        woods = {QUuid::createUuid(), QStringLiteral("Woods"), forest.id};
        f->writeIndex({beach, dune, forest}, {sea, sand, woods});
        f->prefs().set(QStringLiteral("currentEnsembleID"), sea.id.toString(QUuid::WithoutBraces).toUpper());
        library = f->open();
        clocks = std::make_unique<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        taskbar = std::make_unique<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
        nav = std::make_unique<Navigation>();
        EnsemblesModel::Inputs inputs;
        inputs.wallpaperStoreSetUp = [this] { return storeSetUp; };
        model = std::make_unique<EnsemblesModel>(*library, *clocks, *taskbar, *nav, inputs);
        page = std::make_unique<EnsemblesPage>(*model);
        page->resize(1100, 900);
        page->show();
    }

    void clickCard(EnsembleCard* card) { QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(40, 40)); }
    void doubleClickCard(EnsembleCard* card) { QTest::mouseDClick(card, Qt::LeftButton, {}, QPoint(40, 40)); }
    void chooseDisplay(int index) { page->displayButtons().at(index)->click(); }
    std::optional<QUuid> sideEntry() const
    {
        const DisplayMap& map = library->displayEnsembles();
        const auto found = map.constFind(*f->sideScreen.displayUUID);
        return found == map.cend() ? std::nullopt : std::optional(*found);
    }

private slots:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
    }

    void cleanup()
    {
        page.reset();
        model.reset();
        nav.reset();
        taskbar.reset();
        clocks.reset();
        library.reset();
        f.reset();
        storeSetUp = true;
        DesktopWords::setCurrent(DesktopWords::linuxDesktop());
    }

    // --- displays ----------------------------------------------------------------------------

    void oneDisplayHasNoPickerAndNoSameAsMainCard()
    {
        open(true);
        QVERIFY(!page->displayPicker()->isVisible());
        QVERIFY(!page->sameAsMainCard());
        QCOMPARE(page->cards().size(), 3);
        QCOMPARE(page->cards().first()->content().name, QStringLiteral("Sea"));
        QCOMPARE(page->helpLines()->text(), QStringLiteral("Click to preview, double-click to switch to it."));
    }

    void applyingOnASecondaryDisplayLeavesTheMainOneAlone()
    {
        open();
        QVERIFY(page->displayPicker()->isVisible());
        QCOMPARE(page->displayButtons().size(), 2);
        chooseDisplay(1);
        QVERIFY(!model->onMain());
        QVERIFY(page->sameAsMainCard());
        QCOMPARE(page->sameAsMainCard()->content().status, QStringLiteral("● IN USE"));
        // Following, the main display's ensemble is the main display's, not this one's choice.
        QCOMPARE(page->card(sea.id)->content().status, QStringLiteral("○ main"));
        QVERIFY(page->badge()->isVisible());
        QVERIFY(!page->applyButton()->isVisible());
        QVERIFY(!page->changeBox()->isVisible());

        QSignalSpy current(library.get(), &LibraryStore::currentEnsembleIDChanged);
        doubleClickCard(page->card(sand.id));
        QCOMPARE(sideEntry(), std::optional<QUuid>(sand.id));
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(sea.id));
        QCOMPARE(library->currentID(), std::optional<QUuid>(beach.id));
        QCOMPARE(current.count(), 0);
        QCOMPARE(page->card(sand.id)->content().status, QStringLiteral("● IN USE"));
        // The main display's ensemble is named by the display that shows it.
        QCOMPARE(page->card(sea.id)->content().status, QStringLiteral("○ main"));
        QVERIFY(page->sameAsMainCard()->content().status.isEmpty());

        // The same-as-main card gives the display back to the main one.
        doubleClickCard(page->sameAsMainCard());
        QVERIFY(!sideEntry());
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(sea.id));
    }

    void anUnpluggedDisplayFallsBackToTheMainOne()
    {
        open();
        chooseDisplay(1);
        QVERIFY(!model->onMain());
        Screens::setOverride(QList<ScreenInfo> {f->mainScreen});
        QVERIFY(model->onMain());
        QVERIFY(!page->displayPicker()->isVisible());
        QVERIFY(!page->sameAsMainCard());
        doubleClickCard(page->card(woods.id));
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(woods.id));
        QVERIFY(library->displayEnsembles().isEmpty());
    }

    void aDamagedDisplayMapReadsAsEmpty()
    {
        f = std::make_unique<LibraryFixture>();
        f->prefs().set(QStringLiteral("displayEnsembles"), QStringLiteral("not a map"));
        const Wallpaper item = f->wallpaper(QStringLiteral("Beach"));
        f->writeIndex({item}, {{QUuid::createUuid(), QStringLiteral("Sea"), item.id}});
        library = f->open();
        clocks = std::make_unique<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        taskbar = std::make_unique<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
        nav = std::make_unique<Navigation>();
        model = std::make_unique<EnsemblesModel>(*library, *clocks, *taskbar, *nav);
        page = std::make_unique<EnsemblesPage>(*model);
        page->show();
        chooseDisplay(1);
        QVERIFY(model->followsMain());
        QCOMPARE(page->caption()->text(), QStringLiteral("FOLLOWS THE MAIN DISPLAY"));
        QVERIFY(page->badge()->isVisible());
        QCOMPARE(page->followsLine()->text(),
                 QStringLiteral("Sea, from the main. Pick an ensemble below to give this display its own."));
    }

    void applyingOnTheMainDisplayMakesTheEnsembleCurrent()
    {
        open(true);
        clickCard(page->card(sand.id));
        // A click previews without applying.
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(sea.id));
        QCOMPARE(page->heroTitle()->text(), QStringLiteral("Sand"));
        QVERIFY(page->applyButton()->isVisible());
        page->applyButton()->click();
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(sand.id));
        QCOMPARE(library->currentID(), std::optional<QUuid>(dune.id));
        QVERIFY(!page->applyButton()->isVisible());
        QCOMPARE(page->card(sand.id)->toolTip(), QStringLiteral("In use"));
        QCOMPARE(page->card(sand.id)->accessibleName(), QStringLiteral("Sand, in use"));
        QCOMPARE(page->card(sea.id)->toolTip(), QStringLiteral("Click to preview, double-click to switch to Sea"));
    }

    // --- captions -----------------------------------------------------------------------------

    void captionRows_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("colour");
        QTest::newRow("lock screen off") << "off" << "LOCK SCREEN OFF" << "muted";
        QTest::newRow("failed") << "failed" << "LOCK SCREEN FAILED" << "failure";
        QTest::newRow("failed wins over taken") << "failed taken" << "LOCK SCREEN FAILED" << "failure";
        QTest::newRow("waiting, original words") << "waiting original" << "LOCK SCREEN WAITING FOR MACOS" << "warning";
        QTest::newRow("waiting, a distribution's name") << "waiting fedora" << "LOCK SCREEN WAITING FOR FEDORA LINUX" << "warning";
        QTest::newRow("taken") << "taken" << "LOCK SCREEN USED BY ANOTHER APP" << "warning";
        QTest::newRow("otherwise") << "" << "DESKTOP AND LOCK SCREEN" << "muted";
        QTest::newRow("daily") << "daily" << "DESKTOP AND LOCK SCREEN · SAND TOMORROW" << "muted";
        QTest::newRow("daily, deck of gone and current") << "daily-empty" << "DESKTOP AND LOCK SCREEN" << "muted";
        QTest::newRow("dark") << "dark" << "DESKTOP AND LOCK SCREEN · DARK MODE" << "muted";
        QTest::newRow("light") << "light" << "DESKTOP AND LOCK SCREEN · LIGHT MODE" << "muted";
        QTest::newRow("appearance, neither") << "appearance" << "DESKTOP AND LOCK SCREEN" << "muted";
        QTest::newRow("other: lock screen place") << "side lock" << "THE LOCK SCREEN SHOWS THE MAIN DISPLAY’S ENSEMBLE" << "muted";
        QTest::newRow("other: follows") << "side" << "FOLLOWS THE MAIN DISPLAY" << "muted";
        QTest::newRow("other: own, bar everywhere") << "side own" << "WALLPAPER AND BAR" << "muted";
        QTest::newRow("other: own, bar on main") << "side own barmain" << "WALLPAPER" << "muted";
    }

    void captionRows()
    {
        QFETCH(QString, setup);
        QFETCH(QString, caption);
        QFETCH(QString, colour);
        const QStringList words = setup.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.contains(QStringLiteral("original")))
            DesktopWords::setCurrent(DesktopWords::original());
        if (words.contains(QStringLiteral("fedora"))) {
            DesktopWords fedora = DesktopWords::linuxDesktop();
            fedora.systemName = QStringLiteral("Fedora Linux");
            DesktopWords::setCurrent(fedora);
        }
        open();
        if (words.contains(QStringLiteral("off")))
            library->switches().set(LibrarySwitch::lockScreenEnabled, false);
        if (words.contains(QStringLiteral("failed")))
            library->switches().set(LibrarySwitch::lockScreenFailed, true);
        if (words.contains(QStringLiteral("taken")))
            library->switches().set(LibrarySwitch::lockScreenTaken, true);
        if (words.contains(QStringLiteral("waiting"))) {
            storeSetUp = false;
            emit model->storesChanged();
        }
        EnsembleChanging changing;
        if (words.contains(QStringLiteral("daily"))) {
            changing.mode = EnsembleChanging::Mode::daily;
            changing.deck = {QUuid::createUuid(), sea.id, sand.id, woods.id};
        }
        if (words.contains(QStringLiteral("daily-empty"))) {
            changing.mode = EnsembleChanging::Mode::daily;
            changing.deck = {QUuid::createUuid(), sea.id};
        }
        if (words.contains(QStringLiteral("dark")) || words.contains(QStringLiteral("light")) || words.contains(QStringLiteral("appearance"))) {
            changing.mode = EnsembleChanging::Mode::appearance;
            changing.darkEnsemble = words.contains(QStringLiteral("dark")) ? sea.id : woods.id;
            changing.lightEnsemble = words.contains(QStringLiteral("light")) ? sea.id : sand.id;
        }
        library->setEnsembleChanging(changing);
        if (words.contains(QStringLiteral("side"))) {
            if (words.contains(QStringLiteral("own")))
                library->setEnsemble(woods.id, f->sideScreen);
            if (words.contains(QStringLiteral("barmain"))) {
                TaskbarSettings settings = taskbar->settings();
                settings.displays = BarDisplays::main;
                taskbar->setSettings(settings);
            }
            chooseDisplay(1);
            if (words.contains(QStringLiteral("lock")))
                page->placeButton(LookPlace::lockScreen)->click();
        }

        if (caption.endsWith(QLatin1Char(' ')))
            QVERIFY2(page->caption()->text().startsWith(caption), qPrintable(page->caption()->text()));
        else
            QCOMPARE(page->caption()->text(), caption);
        const QColor expected = colour == QLatin1String("failure") ? Brand::failure()
                                : colour == QLatin1String("warning") ? Brand::warning()
                                                                      : Brand::muted();
        QCOMPARE(colourOf(page->caption()), expected);
    }

    // --- cards --------------------------------------------------------------------------------

    void cardStatusFirstMatchWins()
    {
        open();
        EnsembleChanging changing;
        changing.mode = EnsembleChanging::Mode::appearance;
        changing.lightEnsemble = sand.id;
        changing.darkEnsemble = sand.id;
        library->setEnsembleChanging(changing);
        library->setEnsemble(woods.id, f->sideScreen);
        QCOMPARE(page->card(sea.id)->content().status, QStringLiteral("● IN USE"));
        QCOMPARE(page->card(sea.id)->content().statusColour, Brand::ok());
        QCOMPARE(page->card(woods.id)->content().status, QStringLiteral("○ side"));
        QCOMPARE(page->card(sand.id)->content().status, QStringLiteral("LIGHT AND DARK"));

        // Another display's ensemble wins over the change mark.
        changing.lightEnsemble = woods.id;
        library->setEnsembleChanging(changing);
        QCOMPARE(page->card(woods.id)->content().status, QStringLiteral("○ side"));
        QCOMPARE(page->card(sand.id)->content().status, QStringLiteral("☾ DARK MODE"));

        // The clock showing differs from the one the ensemble in use names: changed.
        clocks->applyPreset(clocks->customPresets().at(0));
        library->setLook(sea, LibraryStore::LookSlot::clock, clocks->customPresets().at(1).id);
        clocks->applyPreset(clocks->customPresets().at(0));
        QCOMPARE(page->card(sea.id)->content().status, QStringLiteral("● CHANGED"));
        QCOMPARE(page->card(sea.id)->content().statusColour, BrandAccent::shared().color());
        QVERIFY(page->saveChangesButton()->isVisible());
        QCOMPARE(page->saveChangesButton()->text(), QStringLiteral("Save Changes to Sea"));
        QCOMPARE(page->changesList()->text(),
                 QStringLiteral("Clock is %1 instead of %2").arg(clocks->customPresets().at(0).name, clocks->customPresets().at(1).name));
        page->saveChangesButton()->click();
        QCOMPARE(library->ensemble(sea.id)->clockPreset, std::optional<QUuid>(clocks->customPresets().at(0).id));
        QCOMPARE(page->card(sea.id)->content().status, QStringLiteral("● IN USE"));
    }

    void menuListsItsEntriesInOrder()
    {
        open(true);
        QCOMPARE(actionTexts(page->menuFor(sea.id)),
                 (QStringList {"Rename…", "Duplicate", "Wallpaper Details", "—", "Delete…"}));
        QCOMPARE(actionTexts(page->menuFor(sand.id)),
                 (QStringList {"Apply", "Rename…", "Duplicate", "Wallpaper Details", "—", "Delete…"}));

        actionNamed(page->menuFor(sand.id), QStringLiteral("Duplicate"))->trigger();
        QCOMPARE(library->ensembles().size(), 4);
        QCOMPARE(library->ensembles().at(2).name, QStringLiteral("Sand 2"));
        QCOMPARE(page->cards().size(), 4);

        actionNamed(page->menuFor(sand.id), QStringLiteral("Wallpaper Details"))->trigger();
        QCOMPARE(nav->page(), Page::paneflow);
        QCOMPARE(nav->openWallpaper(), std::optional<QUuid>(dune.id));
    }

    void renameFollowsTheStoresRules()
    {
        open(true);
        actionNamed(page->menuFor(sand.id), QStringLiteral("Rename…"))->trigger();
        RenameEnsembleDialog* dialog = page->renameDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Rename Ensemble"));
        dialog->field()->clear();
        QTest::keyClicks(dialog->field(), QStringLiteral("   "));
        dialog->renameButton()->click();
        QCOMPARE(library->ensemble(sand.id)->name, QStringLiteral("Sand"));

        page->askRename(sand.id);
        page->renameDialog()->field()->setText(QStringLiteral("Sea"));
        page->renameDialog()->renameButton()->click();
        QCOMPARE(library->ensemble(sand.id)->name, QStringLiteral("Sea 2"));
        QCOMPARE(page->card(sand.id)->content().name, QStringLiteral("Sea 2"));
    }

    void deleteDialogNamesTheDisplaysThatGoBack()
    {
        open();
        library->setEnsemble(sand.id, f->sideScreen);
        actionNamed(page->menuFor(sand.id), QStringLiteral("Delete…"))->trigger();
        DeleteEnsembleDialog* dialog = page->deleteDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->message()->text(),
                 QStringLiteral("Its wallpaper, clock and taskbar style stay in your library. side goes back to the main display’s ensemble."));
        dialog->cancelButton()->click();
        QVERIFY(library->ensemble(sand.id));

        page->askDelete(woods.id);
        QCOMPARE(page->deleteDialog()->message()->text(), QStringLiteral("Its wallpaper, clock and taskbar style stay in your library."));
        page->deleteDialog()->cancelButton()->click();

        page->askDelete(sand.id);
        page->deleteDialog()->deleteButton()->click();
        QVERIFY(!library->ensemble(sand.id));
        QVERIFY(!sideEntry());
        QCOMPARE(page->cards().size(), 2);
    }

    // --- the editor ---------------------------------------------------------------------------

    void cancellingANewEnsembleLeavesNoneBehind()
    {
        open(true);
        QTest::mouseClick(page->newTile(), Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(library->ensembles().size(), 4);
        EnsembleEditor* editor = page->editor();
        QVERIFY(editor->isVisible());
        QVERIFY(!page->hero()->isVisible());
        QCOMPARE(editor->title()->text(), QStringLiteral("New ensemble"));
        QCOMPARE(editor->nameField()->text(), QStringLiteral("New Ensemble"));
        QCOMPARE(editor->pickerStep()->text(), QStringLiteral("Step 1 of 3"));
        QCOMPARE(editor->pickerTitle()->text(), QStringLiteral("Wallpaper for New Ensemble"));
        QCOMPARE(editor->slotHint(EnsemblesModel::Slot::wallpaper)->text(), QStringLiteral("Choosing"));
        QCOMPARE(editor->slotHint(EnsemblesModel::Slot::clock)->text(), QStringLiteral("Step 2"));

        QTest::mouseClick(editor->tile(QStringLiteral("Forest")), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(library->ensembles().last().wallpaper, forest.id);
        QCOMPARE(editor->pickerStep()->text(), QStringLiteral("Step 2 of 3"));
        QCOMPARE(editor->slotHint(EnsemblesModel::Slot::wallpaper)->text(), QStringLiteral("✓"));
        QCOMPARE(editor->slotHint(EnsemblesModel::Slot::taskbar)->text(), QStringLiteral("Step 3"));
        QVERIFY(editor->tile(QStringLiteral("Your current clock")));
        QVERIFY(editor->tile(QStringLiteral("No change")));

        editor->cancelButton()->click();
        QCOMPARE(library->ensembles().size(), 3);
        QVERIFY(!editor->isVisible());
        QCOMPARE(page->cards().size(), 3);
    }

    void cancellingAnEditGivesBackAllFourFields()
    {
        open(true);
        const NamedStyle preset = clocks->customPresets().at(2);
        const Theme theme = taskbar->themes().at(1);
        library->setLook(sand, LibraryStore::LookSlot::clock, preset.id);
        library->setLook(*library->ensemble(sand.id), LibraryStore::LookSlot::taskbar, theme.id);
        const Ensemble before = *library->ensemble(sand.id);

        clickCard(page->card(sand.id));
        page->editButton()->click();
        EnsembleEditor* editor = page->editor();
        QCOMPARE(editor->title()->text(), QStringLiteral("Editing"));
        QCOMPARE(editor->slotHint(EnsemblesModel::Slot::clock)->text(), QStringLiteral("Change ›"));
        QTest::mouseClick(editor->tile(QStringLiteral("Forest")), Qt::LeftButton, {}, QPoint(30, 30));
        editor->slotRow(EnsemblesModel::Slot::clock)->click();
        QCOMPARE(editor->pickerTitle()->text(), QStringLiteral("Clock for Sand"));
        QTest::mouseClick(editor->tile(QStringLiteral("Your current clock")), Qt::LeftButton, {}, QPoint(30, 30));
        editor->slotRow(EnsemblesModel::Slot::taskbar)->click();
        QTest::mouseClick(editor->tile(taskbar->themes().at(2).name), Qt::LeftButton, {}, QPoint(30, 30));
        // The name is stored through the store on Done only; renaming it here directly shows cancel
        // undoes a name change made while editing too.
        library->renameEnsemble(*library->ensemble(sand.id), QStringLiteral("Dunes"));
        const Ensemble edited = *library->ensemble(sand.id);
        QCOMPARE(edited.wallpaper, forest.id);
        QVERIFY(!edited.clockPreset);
        QCOMPARE(edited.taskbarTheme, std::optional<QUuid>(taskbar->themes().at(2).id));

        editor->cancelButton()->click();
        QCOMPARE(*library->ensemble(sand.id), before);
    }

    void doneStoresTheTypedName()
    {
        open(true);
        clickCard(page->card(sea.id));
        page->editButton()->click();
        QCOMPARE(page->editor()->title()->text(), QStringLiteral("Editing · in use"));
        page->editor()->nameField()->clear();
        QTest::keyClicks(page->editor()->nameField(), QStringLiteral("Woods"));
        page->editor()->doneButton()->click();
        QCOMPARE(library->ensemble(sea.id)->name, QStringLiteral("Woods 2"));
        QVERIFY(page->hero()->isVisible());
    }

    // --- missing parts ------------------------------------------------------------------------

    void aDeletedPresetShowsMissingAndApplyingLeavesTheClockAlone()
    {
        open(true);
        const NamedStyle gone = clocks->customPresets().at(1);
        const Theme theme = taskbar->themes().at(2);
        library->setLook(sand, LibraryStore::LookSlot::clock, gone.id);
        library->setLook(*library->ensemble(sand.id), LibraryStore::LookSlot::taskbar, theme.id);
        clocks->deletePreset(gone.id);
        clickCard(page->card(sand.id));
        QCOMPARE(page->partValue(1)->text(), QStringLiteral("Missing"));
        QCOMPARE(page->partValue(2)->text(), theme.name);

        const ClockStyle styleBefore = clocks->style();
        const std::optional<QUuid> presetBefore = clocks->activePresetID();
        page->applyButton()->click();
        QCOMPARE(library->currentEnsembleID(), std::optional<QUuid>(sand.id));
        // The look goes out as the ensemble has it; the clock part finds no such preset and keeps
        // its clock (the two-process test runs the clock part), and this process's clock store
        // is not touched by applying.
        const std::optional<LookRequest> sent = LookRequest::latest();
        QVERIFY(sent);
        QCOMPARE(sent->clockPreset, std::optional<QUuid>(gone.id));
        QCOMPARE(sent->taskbarTheme, std::optional<QUuid>(theme.id));
        QCOMPARE(clocks->style(), styleBefore);
        QCOMPARE(clocks->activePresetID(), presetBefore);
    }

    // --- the rest -------------------------------------------------------------------------------

    void openingThePageOnAnEnsembleSelectsItAndClearsTheRequest()
    {
        open(true);
        nav->setOpenEnsemble(woods.id);
        QCOMPARE(model->selectedID(), std::optional<QUuid>(woods.id));
        QVERIFY(!nav->openEnsemble());
        QCOMPARE(page->heroTitle()->text(), QStringLiteral("Woods"));
        QVERIFY(page->card(woods.id)->isSelected());
    }

    void changeBoxSetsTheScheduleThroughTheStore()
    {
        open();
        ChangeEnsembleBox* box = page->changeBox();
        QVERIFY(box->isVisible());
        QCOMPARE(box->explanation()->text(), QStringLiteral("Stays on the ensemble you pick."));
        box->choice(EnsembleChanging::Mode::daily)->click();
        QCOMPARE(library->ensembleChanging().mode, EnsembleChanging::Mode::daily);
        QVERIFY(box->explanation()->text().endsWith(
            QStringLiteral("\nChanges the main display, and other displays that are the same as main. A display with its own ensemble keeps it.")));
        QCOMPARE(page->card(*model->nextDailyID())->content().status, QStringLiteral("TOMORROW"));
        box->choice(EnsembleChanging::Mode::appearance)->click();
        QVERIFY(box->pickers()->isVisible());
        QCOMPARE(box->picker(true)->text(), QStringLiteral("Sea")); // the current one takes both places
        actionNamed(box->picker(true)->menu(), QStringLiteral("Woods"))->trigger();
        QCOMPARE(library->ensembleChanging().darkEnsemble, std::optional<QUuid>(woods.id));
        QCOMPARE(box->picker(true)->text(), QStringLiteral("Woods"));
        QCOMPARE(page->card(woods.id)->content().status, QStringLiteral("☾ DARK MODE"));
    }

    // A video wallpaper plays in the desktop's miniature while the page is visible in a window
    // that is not minimised; the lock screen shows the clock over the picture.
    void aVideoWallpaperPlaysInTheMiniature()
    {
        open(true);
        QVERIFY(ClipMaker::pattern(library->mediaPath(beach), QStringLiteral("160x120"), 30, 1));
        LookPreview* preview = page->preview();
        clickCard(page->card(woods.id));
        QCOMPARE(preview->video(), library->mediaPath(forest));
        clickCard(page->card(sea.id));
        QCOMPARE(preview->video(), library->mediaPath(beach));
        QVERIFY(preview->isPlaying());
        // A one-second clip of 30 frames: more than 40 means it started over.
        QTRY_VERIFY_WITH_TIMEOUT(preview->framesShown() > 40, 5000);

        page->placeButton(LookPlace::lockScreen)->click();
        QVERIFY(!preview->isPlaying());
        QVERIFY(preview->video().isEmpty());
        page->placeButton(LookPlace::desktop)->click();
        QVERIFY(preview->isPlaying());

        page->hide();
        QVERIFY(!preview->isPlaying());
        const int hidden = preview->framesShown();
        QTest::qWait(200);
        QCOMPARE(preview->framesShown(), hidden);
        page->show();
        QVERIFY(preview->isPlaying());
        QTRY_VERIFY(preview->framesShown() > hidden);

        page->window()->setWindowState(Qt::WindowMinimized);
        QVERIFY(!preview->isPlaying());
        const int minimised = preview->framesShown();
        QTest::qWait(200);
        QCOMPARE(preview->framesShown(), minimised);
        page->window()->setWindowState(Qt::WindowNoState);
        QVERIFY(preview->isPlaying());

        // A picture wallpaper shows its thumbnail only.
        const Wallpaper still = f->wallpaper(QStringLiteral("Still"), QStringLiteral("still.png"));
        library->addWallpaper(still, false);
        library->setWallpaper(sand, still.id);
        clickCard(page->card(sand.id));
        QVERIFY(preview->video().isEmpty());
        QVERIFY(!preview->isPlaying());
    }

    void anEmptyLibrarySaysWhatToDo()
    {
        f = std::make_unique<LibraryFixture>();
        f->writeIndex({}, {});
        library = f->open();
        clocks = std::make_unique<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        taskbar = std::make_unique<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
        nav = std::make_unique<Navigation>();
        model = std::make_unique<EnsemblesModel>(*library, *clocks, *taskbar, *nav);
        page = std::make_unique<EnsemblesPage>(*model);
        page->show();
        QVERIFY(page->emptyText()->isVisible());
        QVERIFY(!page->hero()->isVisible());
        QVERIFY(page->cards().isEmpty());
        // Nothing to build on: "New ensemble" makes nothing.
        QTest::mouseClick(page->newTile(), Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(library->ensembles().isEmpty());
        QVERIFY(!page->editor()->isVisible());
    }
};

QTEST_MAIN(TestEnsemblesPage)
#include "tst_ensembles_page.moc"
