#include "../library/library_fixture.h"
#include "fake_platform.h"

#include "app/app_services.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/setup_keys.h"
#include "app/setup_model.h"
#include "app/setup_start.h"
#include "app/ui/app_style.h"
#include "app/ui/dock_consent_dialog.h"
#include "app/ui/look_preview.h"
#include "app/ui/setup_changes_step.h"
#include "app/ui/setup_done_step.h"
#include "app/ui/setup_look_step.h"
#include "app/ui/setup_permissions_step.h"
#include "app/ui/setup_sheet.h"
#include "app/ui/sheet_host.h"
#include "app/ui/view_registry.h"
#include "brand/ui/toggle_switch.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "library/built_ins.h"
#include "platform/defaults.h"
#include "taskbar/settings_store.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <utility>

namespace {
const Part paneflow = *Part::withID(Zentrove::paneflowID());
const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());
const Part taskbar = *Part::withID(Zentrove::taskbarID());

class StoreLibrary : public LibraryService
{
public:
    LibraryStore* store = nullptr;
    LibraryStore* libraryStore() override { return store; }
};

// Waits that end when the test says so.
struct ManualClock
{
    QList<std::function<void()>> pending;
    SetupInputs::Wait wait()
    {
        return [this](int, std::function<void()> then) { pending.append(std::move(then)); };
    }
    void elapse()
    {
        for (const auto& then : std::exchange(pending, {}))
            then();
    }
};

bool anyConsentDialog()
{
    for (QWidget* widget : QApplication::allWidgets())
        if (qobject_cast<DockConsentDialog*>(widget) && widget->isVisible())
            return true;
    return false;
}
} // namespace

// The setup sheet clicked through as a person would, against fake parts and a real library with
// the shipped ensembles in a private home.
class TestSetupSheet : public QObject
{
    Q_OBJECT

    std::unique_ptr<LibraryFixture> f;
    std::unique_ptr<LibraryStore> library;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    AppServices services;
    std::shared_ptr<StoreLibrary> libraryService;
    std::shared_ptr<SetupStart> start;
    std::unique_ptr<PartsModel> parts;
    std::unique_ptr<Navigation> nav;
    ManualClock clock;
    int closes = 0;

    void makeParts()
    {
        parts = std::make_unique<PartsModel>(loginItems, workspace, launcher, *services.safety, *services.install);
        nav = std::make_unique<Navigation>();
    }

    // A sheet on its own, with waits the test ends.
    std::unique_ptr<SetupSheet> makeSheet(std::optional<SetupStep> first = std::nullopt)
    {
        makeParts();
        SetupInputs inputs;
        inputs.library = library.get();
        inputs.taskbar = services.taskbarStore.get();
        inputs.wait = clock.wait();
        inputs.openSettings = [](SettingsPane) {};
        auto* model = new SetupModel(*parts, inputs, [this](bool) { ++closes; }, first);
        auto sheet = std::make_unique<SetupSheet>(model, services.clockStore.get(), services.taskbarStore.get());
        sheet->show();
        return sheet;
    }

    static void clickContinue(SetupSheet& sheet) { QTest::mouseClick(sheet.rightButton(), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
    }

    void init()
    {
        f = std::make_unique<LibraryFixture>(true);
        library = f->open();
        library->seedBuiltIns();
        services = {};
        services.clockStore = std::make_shared<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        services.taskbarStore = std::make_shared<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
        libraryService = std::make_shared<StoreLibrary>();
        libraryService->store = library.get();
        services.library = libraryService;
        start = std::make_shared<SetupStart>();
        services.setup = start;
        loginItems = {};
        workspace.processes.clear();
        launcher.workspace = &workspace;
        launcher.started.clear();
        launcher.outcome = {};
        clock.pending.clear();
        closes = 0;
    }

    void cleanup()
    {
        nav.reset();
        parts.reset();
        services = {};
        library.reset();
        f.reset();
    }

    // --- through the window's sheet host ------------------------------------------------------

    void theTaskbarChosenInTheSheetAsksNoQuestion()
    {
        makeParts();
        QWidget window;
        ViewRegistry views;
        views.setup = &SetupSheet::make;
        SheetHost sheets({*parts, *nav, services}, views, &window);
        window.show();
        nav->setShowSetup(true);
        QTRY_VERIFY(sheets.current());
        auto* sheet = sheets.current()->findChild<SetupSheet*>();
        QVERIFY(sheet);
        QVERIFY(sheets.current()->isVisible());
        QCOMPARE(sheet->counter()->text(), QStringLiteral("STEP 1 OF 3"));

        clickContinue(*sheet);
        QTest::mouseClick(sheet->changesStep()->toggle(taskbar.id), Qt::LeftButton);
        QCOMPARE(sheet->counter()->text(), QStringLiteral("STEP 2 OF 4"));
        clickContinue(*sheet);
        QCOMPARE(sheet->model().step(), SetupStep::permissions);
        QVERIFY(parts->isOn(taskbar));
        QVERIFY(parts->dockAgreed());
        // The question would come on a later turn: give it every chance.
        QTest::qWait(50);
        QVERIFY(!parts->askDockConsent());
        QVERIFY(!anyConsentDialog());
        QCOMPARE(sheets.current()->findChild<SetupSheet*>(), sheet);

        clickContinue(*sheet);
        QCOMPARE(sheet->rightButton()->text(), QStringLiteral("Done"));
        clickContinue(*sheet);
        QTRY_VERIFY(!sheets.current());
        QVERIFY(!nav->showSetup());
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));
    }

    void notNowLeavesAndIsRemembered()
    {
        makeParts();
        QWidget window;
        ViewRegistry views;
        views.setup = &SetupSheet::make;
        start->startAt(QStringLiteral("look"));
        SheetHost sheets({*parts, *nav, services}, views, &window);
        window.show();
        nav->setShowSetup(true);
        QTRY_VERIFY(sheets.current());
        auto* sheet = sheets.current()->findChild<SetupSheet*>();
        QCOMPARE(sheet->leftButton()->text(), QStringLiteral("Not now"));
        QTest::mouseClick(sheet->leftButton(), Qt::LeftButton);
        QTRY_VERIFY(!sheets.current());
        QVERIFY(!nav->showSetup());
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));
        QVERIFY(loginItems.calls.isEmpty());
    }

    void escapeAndTheWindowClosingLeaveAsNotNow()
    {
        makeParts();
        ViewRegistry views;
        views.setup = &SetupSheet::make;
        {
            QWidget window;
            window.resize(1000, 700);
            SheetHost sheets({*parts, *nav, services}, views, &window);
            window.show();
            nav->setShowSetup(true);
            QTRY_VERIFY(sheets.current());
            auto* sheet = sheets.current()->findChild<SetupSheet*>();
            QTest::mouseClick(sheet->rightButton(), Qt::LeftButton);
            QCOMPARE(sheet->model().step(), SetupStep::changes);
            QTest::keyClick(sheets.current(), Qt::Key_Escape);
            QTRY_VERIFY(!sheets.current());
            QVERIFY(!nav->showSetup());
            QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));
            QVERIFY(loginItems.calls.isEmpty());
        }

        // The window's close button hides the window with the sheet in it; quitting then drops
        // the sheet, which leaves the setup all the same.
        Defaults::standard().remove(Setup::doneKey());
        QWidget window;
        SheetHost sheets({*parts, *nav, services}, views, &window);
        window.show();
        nav->setShowSetup(true);
        QTRY_VERIFY(sheets.current());
        QPointer<QWidget> shown = sheets.current();
        window.close();
        sheets.dropAll();
        QTRY_VERIFY(!shown || !shown->isVisibleTo(&window));
        QTRY_VERIFY(!nav->showSetup());
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));
    }

    // --- the steps ----------------------------------------------------------------------------

    void onlyTheClockCountsThreeSteps()
    {
        auto sheet = makeSheet();
        clickContinue(*sheet);
        QTest::mouseClick(sheet->changesStep()->toggle(vizavedid.id), Qt::LeftButton);
        clickContinue(*sheet);
        QCOMPARE(sheet->model().step(), SetupStep::done);
        QCOMPARE(sheet->counter()->text(), QStringLiteral("STEP 3 OF 3"));
        QVERIFY(!sheet->leftButton()->isVisible());
        QCOMPARE(loginItems.calls, QStringList {QStringLiteral("register ") + vizavedid.id});
    }

    void aPartSwitchedOffIsTurnedOff()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::enabled;
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        auto sheet = makeSheet(SetupStep::changes);
        ToggleSwitch* wallpaper = sheet->changesStep()->toggle(paneflow.id);
        QVERIFY(wallpaper->isChecked());
        QTest::mouseClick(wallpaper, Qt::LeftButton);
        QVERIFY(!wallpaper->isChecked());
        QVERIFY(parts->isOn(paneflow));
        clickContinue(*sheet);
        QTRY_VERIFY(!parts->isOn(paneflow));
        QVERIFY(parts->isOn(vizavedid));
        QCOMPARE(loginItems.calls, QStringList {QStringLiteral("unregister ") + paneflow.id});
    }

    void theLookStepShowsThePickAndItsLines()
    {
        auto sheet = makeSheet();
        SetupLookStep* look = sheet->lookStep();
        const QList<Ensemble>& shipped = BuiltInEnsembles::ensembles();
        QCOMPARE(library->ensembles().size(), shipped.size());
        QPushButton* frogPond = look->choiceButton(shipped.last().id);
        QVERIFY(frogPond);
        QStringList texts;
        for (const QLabel* label : frogPond->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Frogs and lily pads on a little pond")));
        QVERIFY(texts.contains(QStringLiteral("Sage pill along the bottom")));

        QTest::mouseClick(frogPond, Qt::LeftButton);
        QCOMPARE(sheet->model().picked()->id, shipped.last().id);
        QVERIFY(frogPond->isChecked());
        QVERIFY(!look->choiceButton(shipped.first().id)->isChecked());
        QTest::mouseClick(look->lockScreenButton(), Qt::LeftButton);
        QCOMPARE(look->preview()->place(), LookPlace::lockScreen);

        clickContinue(*sheet);
        QVERIFY(sheet->changesStep()->detail(vizavedid.id)->text().startsWith(QStringLiteral("Frog Pond's clock")));
        clickContinue(*sheet);
        QCOMPARE(library->currentEnsembleID(), shipped.last().id);
    }

    void theClockNoteGoesWhenItsOff()
    {
        auto sheet = makeSheet(SetupStep::changes);
        SetupChangesStep* changes = sheet->changesStep();
        QVERIFY(changes->clockNote()->isHidden());
        QTest::mouseClick(changes->toggle(vizavedid.id), Qt::LeftButton);
        QVERIFY(changes->clockNote()->isVisible());
        QTest::mouseClick(changes->clockIsOffButton(), Qt::LeftButton);
        QVERIFY(changes->clockNote()->isHidden());
        QVERIFY(Defaults::standard().boolean(Setup::systemClockKey(), false));
    }

    void thePermissionsWaitForTheTaskbar()
    {
        // The first start fails.
        launcher.outcome.kind = Launcher::Outcome::Kind::exited;
        Defaults::standard().set(Setup::dockKey(), true);
        auto sheet = makeSheet(SetupStep::changes);
        QTest::mouseClick(sheet->changesStep()->toggle(taskbar.id), Qt::LeftButton);
        clickContinue(*sheet);
        SetupPermissionsStep* step = sheet->permissionsStep();
        QCOMPARE(step->stateLine()->text(), QStringLiteral("Starting Taskbar…"));
        QVERIFY(step->rows()->isHidden());
        QVERIFY(step->tryAgainButton()->isHidden());
        clock.elapse();
        QCOMPARE(step->stateLine()->text(), QStringLiteral("Taskbar hasn't started."));
        QVERIFY(step->tryAgainButton()->isVisible());

        launcher.outcome = {};
        QTest::mouseClick(step->tryAgainButton(), Qt::LeftButton);
        QCOMPARE(step->stateLine()->text(), QStringLiteral("Starting Taskbar…"));
        QTRY_VERIFY(step->rows()->isVisible());
        QVERIFY(step->accessibilityButton()->isVisible());
        QVERIFY(step->accessibilityAllowed()->isHidden());
        services.taskbarStore->reportTrusted(true);
        QVERIFY(step->accessibilityAllowed()->isVisible());
        QVERIFY(step->accessibilityButton()->isHidden());
        QVERIFY(step->fullDiskButton()->isVisible());
    }

    void theDoneStepsThreeOutcomes()
    {
        // Nothing chosen.
        {
            auto sheet = makeSheet(SetupStep::changes);
            clickContinue(*sheet);
            QCOMPARE(sheet->doneStep()->headline()->text(), QStringLiteral("Nothing is on yet"));
            clock.elapse();
            QCOMPARE(sheet->doneStep()->headline()->text(), QStringLiteral("Nothing is on yet"));
        }
        clock.pending.clear();
        // One part late, then started on the second try.
        launcher.outcome.kind = Launcher::Outcome::Kind::exited;
        auto sheet = makeSheet(SetupStep::changes);
        SetupDoneStep* done = sheet->doneStep();
        QTest::mouseClick(sheet->changesStep()->toggle(paneflow.id), Qt::LeftButton);
        QTest::mouseClick(sheet->changesStep()->toggle(vizavedid.id), Qt::LeftButton);
        clickContinue(*sheet);
        workspace.run(vizavedid.id);
        QCOMPARE(done->headline()->text(), QStringLiteral("Zentrove starts by itself when you log in."));
        loginItems.statuses[paneflow.id] = LoginItemStatus::requiresApproval;
        clock.elapse();
        QCOMPARE(done->headline()->text(), QStringLiteral("Not everything started"));
        QVERIFY(done->lateList()->isVisible());
        // The rows of the late parts as shown (rows of an earlier state may still wait to be deleted).
        const auto lines = [done] {
            QStringList shown;
            for (const QLabel* label : done->lateList()->findChildren<QLabel*>())
                if (label->isVisibleTo(done))
                    shown << label->text();
            return shown;
        };
        QTRY_VERIFY(lines().contains(paneflow.name + QStringLiteral(" hasn't started.")));
        QVERIFY(!lines().contains(vizavedid.name + QStringLiteral(" hasn't started.")));
        QVERIFY(lines().join(u' ').contains(QStringLiteral("Startup Applications")));

        loginItems.calls.clear();
        launcher.outcome = {};
        QTest::mouseClick(done->tryAgainButton(), Qt::LeftButton);
        QTRY_COMPARE(loginItems.calls, (QStringList {QStringLiteral("unregister ") + paneflow.id, QStringLiteral("register ") + paneflow.id}));
        QTRY_VERIFY(parts->isRunning(paneflow));
        clock.elapse();
        QCOMPARE(done->headline()->text(), QStringLiteral("Zentrove starts by itself when you log in."));
        QVERIFY(done->lateList()->isHidden());
        clickContinue(*sheet);
        QCOMPARE(closes, 1);
    }
};

QTEST_MAIN(TestSetupSheet)
#include "tst_setup_sheet.moc"
