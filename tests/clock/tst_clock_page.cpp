#include "platform/desktop_words.h"
#include "app/ui/app_style.h"
#include "brand/ui/toggle_switch.h"
#include "clock/clock_hours.h"
#include "clock/presets.h"
#include "clock/style_store.h"
#include "clock/ui/backdrop_choice.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/clock_editor.h"
#include "clock/ui/clock_overview.h"
#include "clock/ui/clock_page.h"
#include "clock/ui/preset_card.h"
#include "clock/ui/preset_dialogs.h"
#include "clock/ui/screen_preview.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"

#include "test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

Defaults& clockDomain() { return Defaults::domain(Zentrove::vizaVedidID()); }

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

void trigger(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no menu item ") + text));
}

// A slider moved by the keyboard, as a person nudges it.
void nudge(SliderRow* row, int steps)
{
    row->slider()->setFocus();
    for (int i = 0; i < std::abs(steps); ++i)
        QTest::keyClick(row->slider(), steps > 0 ? Qt::Key_Right : Qt::Key_Left);
}

} // namespace

// The clock page as a person uses it, against a real style store over a private clock domain.
class TestClockPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<StyleStore> store;
    std::unique_ptr<LibraryStore> library;
    std::unique_ptr<ClockPage> page;

    void make(bool withLibrary = false)
    {
        store = std::make_unique<StyleStore>(clockDomain());
        if (withLibrary) {
            const LibraryLocations where{home->dataHome() + QStringLiteral("/Paneflow"), home->path() + QStringLiteral("/shipped")};
            library = std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, where, LibraryServices{});
        }
        page = std::make_unique<ClockPage>(*store, library.get());
        page->resize(1000, 760);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    ClockEditor& editor() { return *page->editor(); }
    ClockOverview& overview() { return *page->overview(); }
    const NamedStyle& preset(const QString& name)
    {
        for (const NamedStyle& p : store->customPresets())
            if (p.name == name)
                return p;
        qFatal("no preset %s", qPrintable(name));
    }

private slots:
    void initTestCase()
    {
        ProcessIdentity::set(Zentrove::bundleID());
        // Pictures written for a person to look at wear the app's own dark style.
        if (qEnvironmentVariableIsSet("ZENTROVE_SNAPSHOT_DIR"))
            AppStyle::apply(*qApp);
    }
    void init() { home = std::make_unique<TestHome>(); }
    void cleanup()
    {
        page.reset();
        library.reset();
        store.reset();
        home.reset();
        ClockHours::shared().setFormat(ClockTimeFormat::mac);
    }

    // --- overview

    void overviewShowsTheShippedPresetsWithTheActiveOneInUse()
    {
        make();
        const QList<PresetCard*> cards = overview().cards();
        QCOMPARE(cards.size(), 4);
        QStringList names;
        for (PresetCard* card : cards)
            names << card->nameText();
        QCOMPARE(names, (QStringList{QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"), QStringLiteral("Frog Pond")}));
        QVERIFY(overview().presetsTitle()->text().contains(QStringLiteral(">4<")));
        // Nothing stored: the current style is the fallback, which is no preset.
        for (PresetCard* card : cards)
            QCOMPARE(card->statusText(), QString());

        store->applyPreset(preset(QStringLiteral("Graphite")));
        PresetCard* graphite = overview().card(preset(QStringLiteral("Graphite")).id);
        QCOMPARE(graphite->statusText(), QStringLiteral("● IN USE"));
        QCOMPARE(graphite->accessibleName(), QStringLiteral("Graphite, in use"));
        ClockStyle edited = store->style();
        edited.timeFont.size += 10;
        store->setStyle(edited);
        QCOMPARE(graphite->statusText(), QStringLiteral("● EDITED"));
        QCOMPARE(overview().card(preset(QStringLiteral("Eclipse")).id)->accessibleName(), QStringLiteral("Eclipse"));
    }

    void previewsAreKeptUntilTheirStyleChanges()
    {
        make();
        PresetCard* eclipse = overview().card(preset(QStringLiteral("Eclipse")).id);
        QTRY_VERIFY(eclipse->preview()->drawCount() >= 1);
        const int drawn = eclipse->preview()->drawCount();
        eclipse->preview()->repaint();
        overview().repaint();
        QCOMPARE(eclipse->preview()->drawCount(), drawn);
        // Another preset's edit does not touch this card's picture; its own does.
        store->renamePreset(preset(QStringLiteral("Graphite")).id, QStringLiteral("Pencil"));
        eclipse->preview()->repaint();
        QCOMPARE(eclipse->preview()->drawCount(), drawn);
        QList<NamedStyle> presets = store->customPresets();
        presets[0].style.timeFont.size = 60;
        store->setCustomPresets(presets);
        eclipse->preview()->repaint();
        QCOMPARE(eclipse->preview()->drawCount(), drawn + 1);
    }

    void cardMenuOffersTheActionsInOrder()
    {
        make();
        const NamedStyle eclipse = preset(QStringLiteral("Eclipse"));
        std::unique_ptr<QMenu> menu(overview().menuFor(eclipse.id));
        QCOMPARE(actionTexts(menu.get()), (QStringList{QStringLiteral("Apply"), QStringLiteral("Edit preset…"), QStringLiteral("Rename…"),
                                                       QStringLiteral("-"), QStringLiteral("Delete…")}));
        trigger(menu.get(), QStringLiteral("Apply"));
        QCOMPARE(store->activePresetID(), eclipse.id);
        QCOMPARE(store->style(), eclipse.style);

        // The active preset offers no Apply; an edited built-in offers its original.
        QList<NamedStyle> presets = store->customPresets();
        presets[0].style.showSeconds = true;
        store->setCustomPresets(presets);
        menu.reset(overview().menuFor(eclipse.id));
        QCOMPARE(actionTexts(menu.get()), (QStringList{QStringLiteral("Edit preset…"), QStringLiteral("Rename…"),
                                                       QStringLiteral("Reset to original"), QStringLiteral("-"), QStringLiteral("Delete…")}));
        trigger(menu.get(), QStringLiteral("Reset to original"));
        QCOMPARE(store->customPresets()[0].style, eclipse.style);

        menu.reset(overview().menuFor(preset(QStringLiteral("Infinity")).id));
        trigger(menu.get(), QStringLiteral("Edit preset…"));
        QVERIFY(page->isEditing());
        QCOMPARE(page->tab(), ClockTab::time);
        QCOMPARE(store->activePresetID(), preset(QStringLiteral("Infinity")).id);
        QCOMPARE(editor().titleLabel()->toolTip(), QStringLiteral("Clock preset · Infinity"));
    }

    void useInCurrentEnsembleGoesThroughTheLibrary()
    {
        make(true);
        const NamedStyle frog = preset(QStringLiteral("Frog Pond"));
        // No ensemble yet: nothing to use the preset in.
        if (!library->currentEnsemble()) {
            std::unique_ptr<QMenu> none(overview().menuFor(frog.id));
            QVERIFY(!actionTexts(none.get()).contains(QStringLiteral("Use in current ensemble")));
            const Wallpaper sky{QUuid::createUuid(), QStringLiteral("Sky"), QStringLiteral("Sky.mp4")};
            library->addWallpaper(sky);
            library->setCurrentEnsembleID(library->addEnsemble(sky.id, QStringLiteral("Evening")).id);
        }
        QVERIFY(library->currentEnsemble());
        const Ensemble current = *library->currentEnsemble();
        const int before = library->ensembleCountOfClock(frog.id);
        QCOMPARE(overview().card(frog.id)->ensemblesText(), LibraryStore::ensembleCountText(before));
        std::unique_ptr<QMenu> menu(overview().menuFor(frog.id));
        QVERIFY(actionTexts(menu.get()).contains(QStringLiteral("Use in current ensemble")));
        trigger(menu.get(), QStringLiteral("Use in current ensemble"));
        QCOMPARE(library->ensemble(current.id)->clockPreset, frog.id);
        if (current.clockPreset != frog.id)
            QCOMPARE(overview().card(frog.id)->ensemblesText(), LibraryStore::ensembleCountText(before + 1));
    }

    void foldAndRestoreBuiltIns()
    {
        make();
        for (int i = 0; i < 6; ++i)
            store->saveCurrentAsPreset(QStringLiteral("Mine"));
        QCOMPARE(overview().cards().size(), 10);
        QVERIFY(overview().foldButton()->isVisibleTo(page.get()));
        QCOMPARE(overview().foldButton()->text(), QStringLiteral("Show all 10 presets"));
        int shown = 0;
        for (PresetCard* card : overview().cards())
            shown += card->isVisibleTo(page.get());
        QCOMPARE(shown, ClockOverview::foldedCount);
        QTest::mouseClick(overview().foldButton(), Qt::LeftButton);
        QCOMPARE(overview().foldButton()->text(), QStringLiteral("Show fewer"));
        shown = 0;
        for (PresetCard* card : overview().cards())
            shown += card->isVisibleTo(page.get());
        QCOMPARE(shown, 10);

        QVERIFY(overview().restoreButtons().isEmpty());
        store->deletePreset(preset(QStringLiteral("Graphite")).id);
        QCOMPARE(overview().restoreButtons().size(), 1);
        QCOMPARE(overview().restoreButtons()[0]->text(), QStringLiteral("Restore 1 built-in preset"));
        store->deletePreset(preset(QStringLiteral("Eclipse")).id);
        QCOMPARE(overview().restoreButtons()[0]->text(), QStringLiteral("Restore 2 built-in presets"));
        QTest::mouseClick(overview().restoreButtons()[0], Qt::LeftButton);
        QVERIFY(overview().restoreButtons().isEmpty());
        QCOMPARE(overview().cards().size(), 10);
    }

    void howItWorksWritesTheAppWideChoices()
    {
        make();
        QCOMPARE(overview().timeFormatMenu()->itemText(0), DesktopWords::current().fill(u"Follow {systemName}"));
        overview().timeFormatMenu()->setFocus();
        QTest::keyClick(overview().timeFormatMenu(), Qt::Key_Down);
        overview().timeFormatMenu()->activated(2);
        QCOMPARE(store->timeFormat(), ClockTimeFormat::twentyFour);
        QCOMPARE(ClockHours::shared().format(), ClockTimeFormat::twentyFour);

        QCOMPARE(overview().statusLine()->accessibleName(), QStringLiteral("Not running"));
        page->setRunning(true);
        QCOMPARE(overview().statusLine()->accessibleName(), QStringLiteral("Showing on the lock screen"));
        QTest::mouseClick(overview().desktopToggle(), Qt::LeftButton);
        QVERIFY(store->showOnDesktop());
        QVERIFY(clockDomain().boolean(QStringLiteral("showOnDesktop"), false));
        QCOMPARE(overview().statusLine()->accessibleName(), QStringLiteral("Showing on the lock screen · desktop"));
    }

    // --- editor

    void openTabIgnoresCase()
    {
        make();
        QVERIFY(page->openTab(QStringLiteral("LOOK")));
        QVERIFY(page->isEditing());
        QCOMPARE(page->tab(), ClockTab::look);
        QVERIFY(!page->openTab(QStringLiteral("colours")));
        QCOMPARE(page->tab(), ClockTab::look);
        QCOMPARE(editor().tabBar()->current(), 1);
    }

    void slidersWriteTheirFieldAtOnce()
    {
        make();
        page->openEditor(ClockTab::time);
        SliderRow* size = editor().timeTab().size;
        QCOMPARE(size->minimum(), 40.0);
        QCOMPARE(size->maximum(), 240.0);
        const double before = store->style().timeFont.size;
        nudge(size, 3);
        QCOMPARE(store->style().timeFont.size, before + 3);
        clockDomain().sync();
        QCOMPARE(ClockStyle::decode(*clockDomain().data(QStringLiteral("style")))->timeFont.size, before + 3);

        page->openEditor(ClockTab::look);
        SliderRow* opacity = editor().lookTab().opacity;
        opacity->setValue(0.1);
        nudge(opacity, 1);
        QCOMPARE(store->style().timeOpacity, 0.15);
        QCOMPARE(opacity->valueText(), QStringLiteral("15%"));
        page->openEditor(ClockTab::date);
        nudge(editor().dateTab().tracking, 1);
        QCOMPARE(store->style().labelTracking, Presets::bold().labelTracking + 0.5);
        page->openEditor(ClockTab::layout);
        QTest::mouseClick(editor().layoutTab().positions[6], Qt::LeftButton);
        QCOMPARE(store->style().position, ScreenPosition::bottomRight);
        nudge(editor().layoutTab().verticalMargin, -6);
        QCOMPARE(store->style().verticalMargin, Presets::bold().verticalMargin - 6);
    }

    void dateShownAndDigitColourSetBothFields()
    {
        make();
        page->openEditor(ClockTab::date);
        ChoiceRow* show = editor().dateTab().show;
        QTest::mouseClick(show->button(2), Qt::LeftButton); // "Date"
        QCOMPARE(show->button(2)->text(), QStringLiteral("Date"));
        QVERIFY(!store->style().showWeekday);
        QVERIFY(store->style().showDate);
        QTest::mouseClick(show->button(3), Qt::LeftButton); // "None"
        QVERIFY(!store->style().showWeekday);
        QVERIFY(!store->style().showDate);
        QTest::mouseClick(show->button(0), Qt::LeftButton);
        QVERIFY(store->style().showWeekday && store->style().showDate);

        page->openEditor(ClockTab::look);
        ChoiceRow* colour = editor().lookTab().colour;
        QTest::mouseClick(colour->button(1), Qt::LeftButton); // gradient
        QVERIFY(store->style().useGradient);
        QVERIFY(editor().lookTab().top->isVisibleTo(page.get()));
        QTest::mouseClick(colour->button(2), Qt::LeftButton); // wallpaper keeps the gradient flag
        QVERIFY(store->style().digitsFollowWallpaper);
        QVERIFY(store->style().useGradient);
        QVERIFY(editor().lookTab().wallpaperNote->isVisibleTo(page.get()));
        QVERIFY(!editor().lookTab().top->isVisibleTo(page.get()));
        QTest::mouseClick(colour->button(1), Qt::LeftButton); // back to gradient
        QVERIFY(!store->style().digitsFollowWallpaper);
        QVERIFY(store->style().useGradient);
        QTest::mouseClick(colour->button(0), Qt::LeftButton);
        QVERIFY(!store->style().useGradient && !store->style().digitsFollowWallpaper);
        editor().lookTab().solid->well()->choose(RGBA(0.2, 0.4, 0.6, 1));
        QCOMPARE(store->style().timeColor, RGBA(0.2, 0.4, 0.6, 1));

        // Outline width shows for the outline finish only.
        QVERIFY(!editor().lookTab().outlineWidth->isVisibleTo(page.get()));
        QTest::mouseClick(editor().lookTab().finish->button(1), Qt::LeftButton);
        QCOMPARE(store->style().finish, DigitFinish::outline);
        QVERIFY(editor().lookTab().outlineWidth->isVisibleTo(page.get()));
    }

    void dateFormatsAreShownAsTodaysDateInTheLanguage()
    {
        make();
        ClockView::frozen() = QDateTime(QDate(2026, 3, 14), QTime(9, 41));
        page->openEditor(ClockTab::date);
        MenuRow* language = editor().dateTab().language;
        language->menu()->setCurrentIndex(5); // Deutsch
        QCOMPARE(store->style().localeID, QStringLiteral("de_DE"));
        QComboBox* formats = editor().dateTab().format->menu();
        QCOMPARE(formats->itemText(0), QStringLiteral("14 März"));
        QCOMPARE(formats->itemText(4), QStringLiteral("3/14/2026"));
        formats->setCurrentIndex(2);
        QCOMPARE(store->style().dateFormat, DateFormatOption::dayMonthYear);
        language->menu()->setCurrentIndex(0);
        QCOMPARE(store->style().localeID, QString());
        ClockView::frozen().reset();
    }

    void ownLineAndItsLook()
    {
        make();
        page->openEditor(ClockTab::text);
        const ClockEditor::TextTab& text = editor().textTab();
        QCOMPARE(text.line->placeholderText(), QStringLiteral("e.g. Stay curious"));
        QTest::keyClicks(text.line, QStringLiteral("Hi"));
        QCOMPARE(store->style().ownLine, QStringLiteral("Hi"));
        QCOMPARE(text.space->title(), QStringLiteral("Space from the date"));
        QTest::mouseClick(text.place->button(0), Qt::LeftButton);
        QCOMPARE(store->style().ownLinePlacement, LinePlacement::above);
        QCOMPARE(text.space->title(), QStringLiteral("Space from the time"));
        QTest::mouseClick(text.clear, Qt::LeftButton);
        QCOMPARE(store->style().ownLine, QString());
        QCOMPARE(text.line->text(), QString());

        QVERIFY(!text.ownLookControls->isVisibleTo(page.get()));
        QTest::mouseClick(text.ownLook->toggle(), Qt::LeftButton);
        QVERIFY(store->style().ownLineLook);
        QCOMPARE(store->style().ownLineLook->font, store->style().labelFont);
        QVERIFY(text.ownLookControls->isVisibleTo(page.get()));
        nudge(text.size, 2);
        QCOMPARE(store->style().ownLineLook->font.size, store->style().labelFont.size + 2);
        QTest::mouseClick(text.ownLook->toggle(), Qt::LeftButton);
        QVERIFY(!store->style().ownLineLook);

        // Automatic alignment is stored as absent.
        QTest::mouseClick(text.align->choices()->button(3), Qt::LeftButton);
        QCOMPARE(store->style().ownLineAlign, std::optional<TextAlign>(TextAlign::trailing));
        QTest::mouseClick(text.align->choices()->button(0), Qt::LeftButton);
        QCOMPARE(store->style().ownLineAlign, std::nullopt);
    }

    void fontPickerGroupsAndAMissingFamily()
    {
        ClockStyle style = Presets::bold();
        style.timeFont.family = QStringLiteral("No Such Family Anywhere");
        clockDomain().set(QStringLiteral("style"), style.encode());
        make();
        page->openEditor(ClockTab::time);
        FontPicker* font = editor().timeTab().font;
        QStringList headers;
        for (int i = 0; i < font->families()->count(); ++i)
            if (!(font->families()->model()->flags(font->families()->model()->index(i, 0)) & Qt::ItemIsEnabled))
                headers << font->families()->itemText(i);
        QCOMPARE(headers.mid(0, 2), (QStringList{QStringLiteral("SYSTEM"), QStringLiteral("ZENTROVE")}));
        QVERIFY(font->families()->currentText().contains(QStringLiteral("No Such Family Anywhere")));
        // The preview still draws (with the system face), and the picker still chooses.
        editor().preview()->repaint();
        QVERIFY(font->chooseFamily(QString(), FontDesign::serif));
        QCOMPARE(store->style().timeFont.family, QString());
        QCOMPARE(store->style().timeFont.design, FontDesign::serif);
        QVERIFY(!editor().timeTab().width->isVisibleTo(page.get()));
        font->weights()->setCurrentIndex(0);
        QCOMPARE(store->style().timeFont.weight, FontWeightOption::ultraLight);
    }

    void aPictureThatIsNotOneIsRefused()
    {
        make();
        page->openEditor(ClockTab::time);
        QTemporaryDir folder;
        const QString notes = folder.filePath(QStringLiteral("notes.png"));
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture");
        file.close();
        QVERIFY(!editor().choosePicture(notes));
        QVERIFY(editor().backdropError()->isVisibleTo(page.get()));
        QVERIFY(editor().backdropError()->text().contains(QStringLiteral("notes.png")));
        QCOMPARE(store->previewImagePath(), std::nullopt);

        const QString picture = folder.filePath(QStringLiteral("sky.png"));
        QImage sky(64, 40, QImage::Format_RGB32);
        sky.fill(QColor(40, 90, 200));
        QVERIFY(sky.save(picture));
        QVERIFY(editor().choosePicture(picture));
        QVERIFY(!editor().backdropError()->isVisibleTo(page.get()));
        QCOMPARE(store->previewImagePath(), std::optional<QString>(picture));
        QCOMPARE(page->backdrop()->kind(), BackdropChoice::Kind::picture);
        QTRY_VERIFY(!editor().preview()->backdrop().isNull());
        QCOMPARE(editor().preview()->caption(), QString());
        std::unique_ptr<QMenu> menu(editor().previewOnMenu());
        QCOMPARE(actionTexts(menu.get()).first(), QStringLiteral("Choose your lock screen wallpaper to preview the clock on it"));
        QCOMPARE(actionTexts(menu.get()).last(), QStringLiteral("Choose an image…"));
        trigger(menu.get(), QStringLiteral("Live wallpaper"));
        QCOMPARE(store->previewImagePath(), std::nullopt);
        QCOMPARE(editor().preview()->caption(), QStringLiteral("ON THE DESKTOP PICTURE"));
    }

    // --- saving and dialogs

    void saveButtonsCallTheStore()
    {
        make();
        page->openEditor(ClockTab::time);
        // The fallback style is no preset: one button, which asks for a name.
        QVERIFY(editor().saveNewButton()->isVisibleTo(page.get()));
        QVERIFY(!editor().savePresetButton()->isVisibleTo(page.get()));
        QCOMPARE(editor().titleLabel()->toolTip(), QStringLiteral("Custom clock"));
        QTest::mouseClick(editor().saveNewButton(), Qt::LeftButton);
        auto* named = qobject_cast<NameDialog*>(page->dialog());
        QVERIFY(named);
        QCOMPARE(named->field()->placeholderText(), QStringLiteral("My Clock"));
        QTest::mouseClick(named->acceptButton(), Qt::LeftButton);
        QCOMPARE(store->activePreset()->name, QStringLiteral("My Clock"));
        QCOMPARE(store->activePreset()->style, store->style());
        QVERIFY(!editor().saveNewButton()->isVisibleTo(page.get()));

        // Edited: save into the preset, discard, or save as new.
        nudge(editor().timeTab().size, 1);
        QVERIFY(editor().savePresetButton()->isVisibleTo(page.get()));
        QTest::mouseClick(editor().savePresetButton(), Qt::LeftButton);
        QVERIFY(!store->activePresetEdited());
        const ClockStyle saved = store->style();
        nudge(editor().timeTab().size, 5);
        QTest::mouseClick(editor().discardButton(), Qt::LeftButton);
        QCOMPARE(store->style(), saved);
        nudge(editor().timeTab().size, 5);
        QTest::mouseClick(editor().saveAsNewButton(), Qt::LeftButton);
        named = qobject_cast<NameDialog*>(page->dialog());
        QVERIFY(named);
        QTest::keyClicks(named->field(), QStringLiteral("Bigger"));
        QTest::mouseClick(named->acceptButton(), Qt::LeftButton);
        QCOMPARE(store->activePreset()->name, QStringLiteral("Bigger"));
        QCOMPARE(preset(QStringLiteral("My Clock")).style, saved);
    }

    void newRenameAndDelete()
    {
        make();
        QTest::mouseClick(overview().newPresetButton(), Qt::LeftButton);
        auto* named = qobject_cast<NameDialog*>(page->dialog());
        QVERIFY(named);
        QCOMPARE(named->windowTitle(), QStringLiteral("New Preset"));
        QTest::keyClicks(named->field(), QStringLiteral("Night"));
        QTest::mouseClick(named->acceptButton(), Qt::LeftButton);
        const QUuid night = store->activePresetID().value();
        QCOMPARE(preset(QStringLiteral("Night")).id, night);
        QCOMPARE(overview().cards().size(), 5);

        // Renaming to a name in use gives a unique one.
        page->askRename(night);
        named = qobject_cast<NameDialog*>(page->dialog());
        QCOMPARE(named->field()->text(), QStringLiteral("Night"));
        named->field()->clear();
        QTest::keyClicks(named->field(), QStringLiteral("Eclipse"));
        QTest::mouseClick(named->acceptButton(), Qt::LeftButton);
        QString renamed;
        for (const NamedStyle& p : store->customPresets())
            if (p.id == night)
                renamed = p.name;
        QVERIFY(renamed != QStringLiteral("Eclipse"));
        QVERIFY(renamed.startsWith(QStringLiteral("Eclipse")));
        QCOMPARE(overview().card(night)->nameText(), renamed);

        page->askDelete(preset(QStringLiteral("Infinity")).id);
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QCOMPARE(box->text(), QStringLiteral("Delete “Infinity”?"));
        QCOMPARE(box->informativeText(), QStringLiteral("It's built in, so you can bring it back below the presets."));
        PresetQuestions::button(box, QStringLiteral("Cancel"))->click();
        QCOMPARE(store->customPresets().size(), 5);
        page->askDelete(night);
        box = qobject_cast<QMessageBox*>(page->dialog());
        QCOMPARE(box->informativeText(), QStringLiteral("This can't be undone."));
        PresetQuestions::button(box, QStringLiteral("Delete"))->click();
        QCOMPARE(store->customPresets().size(), 4);
        QVERIFY(!overview().card(night));
    }

    void leavingAnEditedPresetAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("save") << QStringLiteral("Save");
        QTest::newRow("don't save") << QStringLiteral("Don't Save");
        QTest::newRow("cancel") << QStringLiteral("Cancel");
    }

    void leavingAnEditedPresetAsks()
    {
        QFETCH(QString, answer);
        make();
        const NamedStyle eclipse = preset(QStringLiteral("Eclipse"));
        store->applyPreset(eclipse);
        page->openEditor(ClockTab::time);
        // No edits: nothing to ask, for the back button or another page.
        QVERIFY(!page->needsLeaveGuard());
        int left = 0;
        QVERIFY(page->mayLeave([&] { ++left; }));
        QVERIFY(!page->dialog());

        nudge(editor().timeTab().size, 4);
        QVERIFY(page->needsLeaveGuard());
        const ClockStyle edited = store->style();
        QVERIFY(!page->mayLeave([&] { ++left; }));
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Save changes to “Eclipse”?"));
        // With ZENTROVE_SNAPSHOT_DIR set, the question is also written out to be looked at.
        if (const QString folder = qEnvironmentVariable("ZENTROVE_SNAPSHOT_DIR"); !folder.isEmpty() && answer == QLatin1String("Save"))
            QVERIFY(box->grab().save(folder + QStringLiteral("/vizavedid.leave.png")));
        QCOMPARE(box->informativeText(), QStringLiteral("Ensembles that use this preset change too if you save."));
        PresetQuestions::button(box, answer)->click();
        if (answer == QLatin1String("Save")) {
            QCOMPARE(left, 1);
            QCOMPARE(preset(QStringLiteral("Eclipse")).style, edited);
            QCOMPARE(store->style(), edited);
        } else if (answer == QLatin1String("Don't Save")) {
            QCOMPARE(left, 1);
            QCOMPARE(store->style(), eclipse.style);
            QCOMPARE(preset(QStringLiteral("Eclipse")).style, eclipse.style);
        } else {
            QCOMPARE(left, 0);
            QCOMPARE(store->style(), edited);
            QVERIFY(page->isEditing());
        }

        // The back button asks the same way and leaves the editor.
        if (answer != QLatin1String("Cancel"))
            return;
        QTest::mouseClick(editor().backButton(), Qt::LeftButton);
        box = qobject_cast<QMessageBox*>(page->dialog());
        QVERIFY(box);
        PresetQuestions::button(box, QStringLiteral("Don't Save"))->click();
        QVERIFY(!page->isEditing());
        QCOMPARE(store->style(), eclipse.style);
    }
};

QTEST_MAIN(TestClockPage)
#include "tst_clock_page.moc"
