#include "../library/library_fixture.h"
#include "fake_platform.h"

#include "app/parts_model.h"
#include "app/setup_keys.h"
#include "app/setup_model.h"
#include "app/setup_start.h"
#include "app/setup_texts.h"
#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "taskbar/settings_store.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <utility>

namespace {
const Part paneflow = *Part::withID(Zentrove::paneflowID());
const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());
const Part taskbar = *Part::withID(Zentrove::taskbarID());

// Waits that end only when the test says so: the ten seconds pass at a call, not in real time.
struct ManualClock
{
    QList<std::pair<int, std::function<void()>>> pending;

    SetupInputs::Wait wait()
    {
        return [this](int ms, std::function<void()> then) { pending.append({ms, std::move(then)}); };
    }
    // Lets every wait started so far run out.
    void elapse()
    {
        const auto due = std::exchange(pending, {});
        for (const auto& [ms, then] : due)
            then();
    }
};
} // namespace

// The first-run setup's steps and what they do to the parts, against fake parts and a real
// library in a private home.
class TestSetupModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<LibraryFixture> f;
    std::unique_ptr<LibraryStore> library;
    std::unique_ptr<SettingsStore> taskbarStore;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    FakeSafety safety;
    FakeInstall install;
    std::unique_ptr<PartsModel> parts;
    std::unique_ptr<SetupModel> setup;
    ManualClock clock;
    QList<bool> closed;
    QStringList sent;
    QList<SettingsPane> opened;
    Ensemble sea, sand;

    void open(std::optional<SetupStep> first = std::nullopt)
    {
        setup.reset();
        parts = std::make_unique<PartsModel>(loginItems, workspace, launcher, safety, install);
        SetupInputs inputs;
        inputs.library = library.get();
        inputs.taskbar = taskbarStore.get();
        inputs.wait = clock.wait();
        inputs.sendToTaskbar = [this](const QString& command) { sent << command; };
        inputs.openSettings = [this](SettingsPane pane) { opened << pane; };
        setup = std::make_unique<SetupModel>(*parts, inputs, [this](bool finished) { closed << finished; }, first);
    }

    // Through the changes step with exactly these parts switched on.
    void chooseOnly(const QList<Part>& wanted)
    {
        if (setup->step() == SetupStep::look)
            setup->next();
        QCOMPARE(setup->step(), SetupStep::changes);
        for (const Part& part : Part::all())
            setup->choose(part, wanted.contains(part));
        setup->next();
    }

    // A start of a part that fails: it stays on, but does not run.
    void startsFail()
    {
        launcher.outcome.kind = Launcher::Outcome::Kind::exited;
        launcher.outcome.exitStatus = 1;
    }

private slots:
    void init()
    {
        f = std::make_unique<LibraryFixture>();
        const Wallpaper beach = f->wallpaper(QStringLiteral("Beach"));
        const Wallpaper dune = f->wallpaper(QStringLiteral("Dune"));
        sea = {QUuid::createUuid(), QStringLiteral("Sea"), beach.id};
        sand = {QUuid::createUuid(), QStringLiteral("Sand"), dune.id};
        f->writeIndex({beach, dune}, {sea, sand});
        f->prefs().set(QStringLiteral("currentEnsembleID"), sea.id.toString(QUuid::WithoutBraces).toUpper());
        library = f->open();
        taskbarStore = std::make_unique<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), true);
        loginItems = {};
        workspace.processes.clear();
        workspace.terminated.clear();
        install.givenBack = 0;
        launcher.workspace = &workspace;
        launcher.started.clear();
        launcher.outcome = {};
        safety.records.clear();
        clock.pending.clear();
        closed.clear();
        sent.clear();
        opened.clear();
    }

    void cleanup()
    {
        setup.reset();
        parts.reset();
        taskbarStore.reset();
        library.reset();
        f.reset();
        DesktopWords::setCurrent(DesktopWords::linuxDesktop());
    }

    // --- steps and the counter ----------------------------------------------------------------

    void onlyTheClockSkipsThePermissions()
    {
        open();
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 1 OF 3"));
        chooseOnly({vizavedid});
        QCOMPARE(setup->step(), SetupStep::done);
        QCOMPARE(setup->steps(), (QList<SetupStep> {SetupStep::look, SetupStep::changes, SetupStep::done}));
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 3 OF 3"));
        setup->back();
        QCOMPARE(setup->step(), SetupStep::changes);
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 2 OF 3"));
    }

    void theTaskbarAddsItsStepWhileWanted()
    {
        open();
        setup->next();
        setup->choose(taskbar, true);
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 2 OF 4"));
        setup->next();
        QCOMPARE(setup->step(), SetupStep::permissions);
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 3 OF 4"));
        setup->next();
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 4 OF 4"));
        setup->back();
        QCOMPARE(setup->step(), SetupStep::permissions);
        setup->back();
        setup->back();
        QCOMPARE(setup->step(), SetupStep::look);
        setup->back();
        QCOMPARE(setup->step(), SetupStep::look);
    }

    void startsWhereStartUpSaid()
    {
        SetupStart start;
        QVERIFY(start.isStep(QStringLiteral("permissions")));
        QVERIFY(!start.isStep(QStringLiteral("Permissions")));
        QVERIFY(!start.isStep(QString()));
        start.startAt(QStringLiteral("changes"));
        start.startAt(QStringLiteral("nowhere"));
        QCOMPARE(start.firstStep(), std::optional(SetupStep::changes));

        open(start.firstStep());
        QCOMPARE(setup->step(), SetupStep::changes);
        // Opened on the permissions step without the taskbar, the counter still counts sensibly.
        setup->go(SetupStep::permissions);
        QCOMPARE(setup->counterText(), QStringLiteral("STEP 3 OF 3"));
    }

    // --- applying the choices -----------------------------------------------------------------

    void choosingTheTaskbarIsTheConsent()
    {
        open();
        QVERIFY(!Defaults::standard().boolean(Setup::dockKey(), false));
        QSignalSpy asked(parts.get(), &PartsModel::askDockConsentChanged);
        chooseOnly({taskbar});
        QVERIFY(!parts->askDockConsent());
        QCOMPARE(asked.count(), 0);
        QVERIFY(Defaults::standard().boolean(Setup::dockKey(), false));
        QVERIFY(parts->isOn(taskbar));
        QCOMPARE(setup->step(), SetupStep::permissions);
    }

    void differencesApplyBothWays()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::enabled;
        loginItems.statuses[taskbar.id] = LoginItemStatus::enabled;
        workspace.run(paneflow.id);
        open();
        setup->next();
        // The switches start as the parts are.
        QVERIFY(setup->isChosen(paneflow));
        QVERIFY(setup->isChosen(taskbar));
        QVERIFY(!setup->isChosen(vizavedid));
        setup->choose(paneflow, false);
        setup->choose(vizavedid, true);
        setup->next();
        QTRY_VERIFY(!parts->isOn(paneflow));
        QVERIFY(parts->isOn(vizavedid));
        QVERIFY(parts->isOn(taskbar));
        QCOMPARE(workspace.terminated, QStringList {paneflow.id});
        QCOMPARE(install.givenBack, 1);
        // What was turned on starts now, not at the next log-in.
        QCOMPARE(launcher.started, QStringList {vizavedid.id});
        QTRY_VERIFY(parts->isRunning(vizavedid));
        // The taskbar was on and stays on: nothing is asked of it.
        QVERIFY(!loginItems.calls.join(u' ').contains(taskbar.id));
        QCOMPARE(setup->step(), SetupStep::permissions);
    }

    void thePickedEnsembleBecomesCurrent()
    {
        open();
        QCOMPARE(setup->choices().size(), 2);
        QCOMPARE(setup->picked()->id, sea.id);
        QSignalSpy current(library.get(), &LibraryStore::currentEnsembleIDChanged);
        setup->pick(sea.id);
        chooseOnly({});
        QCOMPARE(current.count(), 0);
        QCOMPARE(setup->step(), SetupStep::done);

        setup->back();
        setup->back();
        setup->pick(sand.id);
        QCOMPARE(setup->picked()->name, QStringLiteral("Sand"));
        QVERIFY(setup->detail(vizavedid).startsWith(QStringLiteral("Sand's clock")));
        setup->next();
        setup->next();
        QCOMPARE(library->currentEnsembleID(), sand.id);
        // An id the library does not know falls back to the current one and changes nothing.
        setup->pick(QUuid::createUuid());
        QCOMPARE(setup->picked()->id, sand.id);
    }

    // --- the system's own clock -----------------------------------------------------------------

    void theSystemClockNoteUntilItIsOff()
    {
        open();
        setup->next();
        QVERIFY(!setup->showsSystemClockNote());
        setup->choose(vizavedid, true);
        QVERIFY(setup->showsSystemClockNote());
        setup->openSystemClockSettings();
        QCOMPARE(opened, QList<SettingsPane> {SettingsPane::lockScreen});
        setup->systemClockIsOff();
        QVERIFY(!setup->showsSystemClockNote());
        QVERIFY(Defaults::standard().boolean(Setup::systemClockKey(), false));
    }

    // --- permissions --------------------------------------------------------------------------

    void theTaskbarStartsLateThenRuns()
    {
        startsFail();
        open();
        chooseOnly({taskbar});
        QCOMPARE(launcher.started, QStringList {taskbar.id});
        QCOMPARE(setup->taskbarState(), SetupModel::TaskbarState::starting);
        clock.elapse();
        QCOMPARE(setup->taskbarState(), SetupModel::TaskbarState::late);
        loginItems.calls.clear();
        launcher.outcome = {};
        setup->retryTaskbar();
        QCOMPARE(setup->taskbarState(), SetupModel::TaskbarState::starting);
        QTRY_COMPARE(loginItems.calls, (QStringList {QStringLiteral("unregister ") + taskbar.id, QStringLiteral("register ") + taskbar.id}));
        QTRY_COMPARE(setup->taskbarState(), SetupModel::TaskbarState::running);
        // The first wait ends after the part came up: it says nothing any more.
        clock.elapse();
        QCOMPARE(setup->taskbarState(), SetupModel::TaskbarState::running);
    }

    void permissionsFollowTheTaskbarsReports()
    {
        open();
        chooseOnly({taskbar});
        QVERIFY(!setup->accessibilityAllowed());
        setup->grantAccessibility();
        QCOMPARE(sent, QStringList {TaskbarCommands::askAccessibility()});
        QCOMPARE(opened, QList<SettingsPane> {SettingsPane::accessibility});
        setup->grantFullDiskAccess();
        QCOMPARE(opened, (QList<SettingsPane> {SettingsPane::accessibility, SettingsPane::accessibility}));
        QCOMPARE(sent.size(), 1);
        taskbarStore->reportTrusted(true);
        QVERIFY(setup->accessibilityAllowed());
        QVERIFY(!setup->fullDiskAccessAllowed());
        taskbarStore->reportFullDiskAccess(true);
        QVERIFY(setup->fullDiskAccessAllowed());
    }

    // --- the done step's check ----------------------------------------------------------------

    void nothingChosenIsNothingOn()
    {
        open();
        chooseOnly({});
        QCOMPARE(setup->outcome(), SetupModel::Outcome::nothingOn);
        clock.elapse();
        QCOMPARE(setup->outcome(), SetupModel::Outcome::nothingOn);
    }

    void aLatePartCanBeTriedAgain()
    {
        startsFail();
        open();
        chooseOnly({paneflow, vizavedid});
        QCOMPARE(launcher.started, (QStringList {paneflow.id, vizavedid.id}));
        workspace.run(vizavedid.id);
        QVERIFY(setup->isChecking());
        QCOMPARE(clock.pending.size(), 1);
        QCOMPARE(clock.pending.first().first, 10000);
        // Before the ten seconds are up nothing counts as late.
        QCOMPARE(setup->outcome(), SetupModel::Outcome::started);
        clock.elapse();
        QVERIFY(!setup->isChecking());
        QCOMPARE(setup->outcome(), SetupModel::Outcome::someLate);
        QCOMPARE(setup->lateParts(), QList<Part> {paneflow});

        loginItems.calls.clear();
        launcher.outcome = {};
        setup->retryLate();
        QCOMPARE(setup->startCheck(), 1);
        QTRY_COMPARE(loginItems.calls, (QStringList {QStringLiteral("unregister ") + paneflow.id, QStringLiteral("register ") + paneflow.id}));
        QTRY_VERIFY(parts->isRunning(paneflow));
        clock.elapse();
        QCOMPARE(setup->lateParts(), QList<Part> {});
        QCOMPARE(setup->outcome(), SetupModel::Outcome::started);
    }

    void aLatePartSaysWhy()
    {
        startsFail();
        open();
        chooseOnly({paneflow, vizavedid});
        loginItems.statuses[paneflow.id] = LoginItemStatus::requiresApproval;
        safety.records[vizavedid.id] = {false, QStringLiteral("Switched off for this system version.")};
        clock.elapse();
        QCOMPARE(setup->lateParts(), (QList<Part> {paneflow, vizavedid}));
        QVERIFY(setup->needsApproval(paneflow));
        QVERIFY(!setup->needsApproval(vizavedid));
        QCOMPARE(setup->standDownReason(vizavedid), QStringLiteral("Switched off for this system version."));
        QCOMPARE(setup->standDownReason(paneflow), QString());
        setup->openLoginItems(paneflow);
        QCOMPARE(loginItems.calls.last(), QStringLiteral("openSettings"));
    }

    void aCheckOfAStepLeftBehindSaysNothing()
    {
        startsFail();
        open();
        chooseOnly({paneflow});
        setup->back();
        clock.elapse();
        QCOMPARE(setup->lateParts(), QList<Part> {});
        // Back on the done step and straight out: the check of a closed setup does nothing.
        setup->next();
        QCOMPARE(setup->step(), SetupStep::done);
        setup->finish();
        clock.elapse();
        QCOMPARE(setup->lateParts(), QList<Part> {});
        QVERIFY(!setup->isChecking());
    }

    // --- leaving ------------------------------------------------------------------------------

    void everyWayOutMarksTheSetupDone()
    {
        open();
        setup->notNow();
        QCOMPARE(closed, QList<bool> {false});
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));

        Defaults::standard().remove(Setup::doneKey());
        open();
        chooseOnly({});
        setup->next();
        QCOMPARE(closed, (QList<bool> {false, true}));
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));

        // Gone by another way (Escape, the window closing): done as well, and the sheet that is
        // already closing is not asked to close again.
        Defaults::standard().remove(Setup::doneKey());
        open();
        setup->next();
        setup->dismissed();
        QVERIFY(setup->hasLeft());
        QCOMPARE(closed.size(), 2);
        QVERIFY(Defaults::standard().boolean(Setup::doneKey(), false));

        // Leaving twice leaves once.
        Defaults::standard().remove(Setup::doneKey());
        open();
        setup->notNow();
        setup->dismissed();
        setup->finish();
        QCOMPARE(closed, (QList<bool> {false, true, false}));
    }

    // --- texts --------------------------------------------------------------------------------

    void textsReadAsFirstWritten()
    {
        DesktopWords::setCurrent(DesktopWords::original());
        QCOMPARE(SetupTexts::intro(SetupStep::permissions), QStringLiteral("Each one is optional. macOS keeps them in System Settings → Privacy & Security."));
        QCOMPARE(SetupTexts::systemClockTitle(), QStringLiteral("Turn off the macOS clock"));
        QCOMPARE(SetupTexts::systemClockText(),
                 QStringLiteral("macOS shows its own large clock on the lock screen too. In System Settings → Lock Screen, set Show large clock to Never."));
        QCOMPARE(SetupTexts::clockDetail(QStringLiteral("Eclipse")), QStringLiteral("Eclipse's clock instead of the one macOS draws."));
        QCOMPARE(SetupTexts::wallpaperDetail(std::nullopt, true), QStringLiteral("The ensemble plays on your desktop and lock screen"));
        QCOMPARE(SetupTexts::taskbarDetail(QStringLiteral("Eclipse"), true, false),
                 QStringLiteral("Eclipse's bar takes the Dock's place. The Dock hides while the bar runs and comes back when you turn it off."));
        QCOMPARE(SetupTexts::taskbarDetail(QStringLiteral("Eclipse"), false, false), QStringLiteral("Eclipse's bar takes the Dock's place · your Dock stays"));
        QCOMPARE(SetupTexts::partTitle(taskbar.id), QStringLiteral("Taskbar instead of the Dock"));
        QCOMPARE(SetupTexts::needsApproval(), QStringLiteral("It needs your OK in System Settings → General → Login Items."));
        QCOMPARE(SetupTexts::fullDiskAccess().how, QStringLiteral("Turn on Zentrove. If macOS offers to quit it, choose Later."));
        QCOMPARE(SetupTexts::startedText(), QStringLiteral("Switch ensembles from this icon in the menu bar, or on the Ensembles page."));
        QCOMPARE(SetupTexts::builtInLines(QStringLiteral("Frog Pond"))->at(2), QStringLiteral("Sage pill along the bottom"));
        QVERIFY(!SetupTexts::builtInLines(QStringLiteral("Sea")));

        // A Linux desktop's words leave none of the original names behind.
        DesktopWords::setCurrent(DesktopWords::linuxDesktop());
        const QString all = SetupTexts::intro(SetupStep::permissions) + SetupTexts::systemClockText() + SetupTexts::needsApproval()
            + SetupTexts::taskbarDetail(QStringLiteral("Eclipse"), true, true) + SetupTexts::fullDiskAccess().how;
        for (const char* word : {"macOS", "System Settings", "Dock", "Login Items", "menu bar"})
            QVERIFY2(!all.contains(QLatin1StringView(word)), word);
    }
};

QTEST_GUILESS_MAIN(TestSetupModel)
#include "tst_setup_model.moc"
