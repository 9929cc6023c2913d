#include "app/parts_model.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const Part paneflow = *Part::withID(Zentrove::paneflowID());
const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());
const Part taskbar = *Part::withID(Zentrove::taskbarID());
} // namespace

class TestPartsModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    FakeSafety safety;
    FakeInstall install;

    std::unique_ptr<PartsModel> makeModel()
    {
        return std::make_unique<PartsModel>(loginItems, workspace, launcher, safety, install);
    }

private slots:
    void initTestCase() { ProcessIdentity::set(Zentrove::bundleID()); }

    void init()
    {
        home = std::make_unique<TestHome>();
        loginItems = {};
        workspace.processes.clear();
        workspace.terminated.clear();
        launcher.started.clear();
        launcher.outcome = {};
        launcher.workspace = nullptr;
        safety.records.clear();
        safety.offMessages.clear();
        safety.cleared.clear();
        install.givenBack = 0;
    }

    void cleanup() { home.reset(); }

    void readsStatusAndRunningAtStart()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::enabled;
        loginItems.statuses[vizavedid.id] = LoginItemStatus::notFound;
        workspace.run(paneflow.id);
        workspace.run(QStringLiteral("app.other"));
        auto model = makeModel();
        QCOMPARE(model->status(paneflow), LoginItemStatus::enabled);
        QCOMPARE(model->status(vizavedid), LoginItemStatus::notFound);
        QCOMPARE(model->status(taskbar), LoginItemStatus::notRegistered);
        QCOMPARE(model->running(), QSet<QString>{paneflow.id});
        QCOMPARE(workspace.watched.size(), 3);
    }

    void followsRunningChanges()
    {
        auto model = makeModel();
        QSignalSpy spy(model.get(), &PartsModel::runningChanged);
        workspace.run(vizavedid.id);
        QTRY_VERIFY(model->isRunning(vizavedid));
        QCOMPARE(spy.count(), 1);
        model->refresh();
        QCOMPARE(spy.count(), 1); // nothing changed, nothing announced
    }

    void isOnFollowsStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("on");
        QTest::newRow("notRegistered") << int(LoginItemStatus::notRegistered) << false;
        QTest::newRow("enabled") << int(LoginItemStatus::enabled) << true;
        QTest::newRow("requiresApproval") << int(LoginItemStatus::requiresApproval) << true;
        QTest::newRow("notFound") << int(LoginItemStatus::notFound) << false;
    }

    void isOnFollowsStatus()
    {
        QFETCH(int, status);
        QFETCH(bool, on);
        loginItems.statuses[vizavedid.id] = LoginItemStatus(status);
        auto model = makeModel();
        QCOMPARE(model->isOn(vizavedid), on);
    }

    void taskbarWaitsForDockConsent()
    {
        auto model = makeModel();
        QSignalSpy ask(model.get(), &PartsModel::askDockConsentChanged);
        model->set(taskbar, true);
        QVERIFY(model->askDockConsent());
        QCOMPARE(ask.count(), 1);
        QVERIFY(loginItems.calls.isEmpty());
        QVERIFY(!model->isOn(taskbar));

        model->setAskDockConsent(false); // the dialog closed with "Hide the Dock"
        model->acceptDockConsent();
        QVERIFY(model->dockAgreed());
        QCOMPARE(loginItems.calls, QStringList{QStringLiteral("register ") + taskbar.id});
        QVERIFY(model->isOn(taskbar));
        QVERIFY(!model->askDockConsent());

        // Consent is kept: the next time the taskbar goes on without asking.
        model->set(taskbar, false);
        model->set(taskbar, true);
        QVERIFY(!model->askDockConsent());
        QVERIFY(model->isOn(taskbar));
    }

    void enabledTaskbarAtLaunchRecordsConsent()
    {
        loginItems.statuses[taskbar.id] = LoginItemStatus::enabled;
        QVERIFY(!Defaults::standard().contains(PartsModel::dockKey()));
        auto model = makeModel();
        QVERIFY(model->dockAgreed());
        QCOMPARE(Defaults::standard().boolean(PartsModel::dockKey()), true);
    }

    void taskbarWaitingForApprovalAtLaunchIsNoConsent()
    {
        loginItems.statuses[taskbar.id] = LoginItemStatus::requiresApproval;
        auto model = makeModel();
        QVERIFY(!model->dockAgreed());
    }

    void registerFailureSetsErrorAndSuccessClearsIt()
    {
        auto model = makeModel();
        QSignalSpy errors(model.get(), &PartsModel::errorChanged);
        loginItems.registerFailure = QStringLiteral("The folder is read-only.");
        model->set(paneflow, true);
        QCOMPARE(model->error(), QStringLiteral("Live Wallpaper: The folder is read-only."));
        QVERIFY(!model->isOn(paneflow));
        loginItems.registerFailure.reset();
        model->set(paneflow, true);
        QCOMPARE(model->error(), std::nullopt);
        QCOMPARE(errors.count(), 2);

        loginItems.unregisterFailure = QStringLiteral("Permission denied");
        model->set(vizavedid, false);
        QCOMPARE(model->error(), QStringLiteral("Lock Screen Clock: Permission denied"));
    }

    void turningOffWithNothingRunningUnregistersAtOnce()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        auto model = makeModel();
        model->set(vizavedid, false);
        // No waiting: the empty list counts as all quit.
        QCOMPARE(loginItems.calls, QStringList{QStringLiteral("unregister ") + vizavedid.id});
        QCOMPARE(model->status(vizavedid), LoginItemStatus::notRegistered);
        QCOMPARE(install.givenBack, 0);
    }

    void turningOffQuitsFirstThenUnregisters()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::enabled;
        workspace.run(paneflow.id);
        auto model = makeModel();
        model->set(paneflow, false);
        QCOMPARE(workspace.terminated, QStringList{paneflow.id});
        QTRY_COMPARE(model->status(paneflow), LoginItemStatus::notRegistered);
        QVERIFY(!model->isRunning(paneflow));
        // Turning the live wallpaper off gives the user's own wallpaper back.
        QCOMPARE(install.givenBack, 1);
    }

    void startReportsFailures()
    {
        auto model = makeModel();
        launcher.outcome = {Launcher::Outcome::Kind::exited, 3, {}};
        model->start(taskbar);
        QTRY_COMPARE(model->error(), QStringLiteral("Taskbar: couldn't start it (launchctl 3)"));
        launcher.outcome = {Launcher::Outcome::Kind::couldNotLaunch, 0, QStringLiteral("No such file or directory")};
        model->start(paneflow);
        QTRY_COMPARE(model->error(), QStringLiteral("Live Wallpaper: No such file or directory"));
        // A start that works changes nothing, the old error included.
        launcher.outcome = {};
        model->start(vizavedid);
        QTest::qWait(20);
        QCOMPARE(model->error(), QStringLiteral("Live Wallpaper: No such file or directory"));
        QCOMPARE(launcher.started, (QStringList{taskbar.id, paneflow.id, vizavedid.id}));
    }

    void startOutcomeAfterModelIsGoneIsIgnored()
    {
        auto model = makeModel();
        launcher.outcome = {Launcher::Outcome::Kind::exited, 1, {}};
        model->start(taskbar);
        model.reset();
        QTest::qWait(20); // the outcome arrives with no model to tell: no crash
        QCOMPARE(launcher.started.size(), 1);
    }

    void restartAfterUpdate_data()
    {
        QTest::addColumn<QString>("previous"); // "<none>": first launch
        QTest::addColumn<QString>("build");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("first launch") << QStringLiteral("<none>") << QStringLiteral("7") << false;
        QTest::newRow("same build") << QStringLiteral("7") << QStringLiteral("7") << false;
        QTest::newRow("changed build") << QStringLiteral("6") << QStringLiteral("7") << true;
        QTest::newRow("build became empty") << QStringLiteral("6") << QString() << true;
    }

    void restartAfterUpdate()
    {
        QFETCH(QString, previous);
        QFETCH(QString, build);
        QFETCH(bool, restarts);
        if (previous != QLatin1String("<none>"))
            Defaults::standard().set(PartsModel::lastBuildKey(), previous);
        workspace.run(paneflow.id);
        workspace.run(taskbar.id);
        auto model = makeModel();
        model->restartAfterUpdate(build);
        QCOMPARE(Defaults::standard().string(PartsModel::lastBuildKey()), build);
        if (!restarts) {
            QTest::qWait(20);
            QVERIFY(workspace.terminated.isEmpty());
            QVERIFY(launcher.started.isEmpty());
            return;
        }
        // Only the parts that were running, in table order; each is started once it quit.
        QCOMPARE(workspace.terminated, (QStringList{paneflow.id, taskbar.id}));
        QTRY_COMPARE(launcher.started, (QStringList{paneflow.id, taskbar.id}));
    }

    void resumeStoodDown()
    {
        for (const Part& part : Part::all())
            loginItems.statuses[part.id] = LoginItemStatus::enabled;
        safety.records[paneflow.id] = {false, QStringLiteral("Switched off on this system.")};
        safety.records[vizavedid.id] = {true, QStringLiteral("Stopped after crashing.")};
        safety.records[taskbar.id] = {false, QStringLiteral("Switched off on this system.")};
        safety.offMessages[QStringLiteral("taskbar")] = QStringLiteral("Taskbar is off on this system.");
        auto model = makeModel();
        model->resumeStoodDown();
        // The reason is gone only for the live wallpaper; a crashed part waits for "Try again".
        QCOMPARE(safety.cleared, QStringList{paneflow.id});
        QTRY_COMPARE(launcher.started, QStringList{paneflow.id});
    }

    void tryAgainClearsTheRecordAndStarts()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        safety.records[vizavedid.id] = {true, QStringLiteral("Stopped after crashing.")};
        auto model = makeModel();
        const StatusLine line = model->statusLine(vizavedid);
        QCOMPARE(line.action, StatusLine::Action::tryAgain);
        model->perform(line.action, vizavedid);
        QCOMPARE(safety.cleared, QStringList{vizavedid.id});
        QTRY_COMPARE(launcher.started, QStringList{vizavedid.id});
    }

    void registerAgainUnregistersThenTurnsOn()
    {
        loginItems.statuses[paneflow.id] = LoginItemStatus::requiresApproval;
        loginItems.statuses[taskbar.id] = LoginItemStatus::requiresApproval;
        auto model = makeModel();
        model->registerAgain(paneflow);
        QTRY_COMPARE(loginItems.calls, (QStringList{QStringLiteral("unregister ") + paneflow.id, QStringLiteral("register ") + paneflow.id}));
        QCOMPARE(model->status(paneflow), LoginItemStatus::enabled);
        // The taskbar goes through the Dock question again when there was no consent.
        model->registerAgain(taskbar);
        QTRY_VERIFY(model->askDockConsent());
        QCOMPARE(model->status(taskbar), LoginItemStatus::notRegistered);
    }

    void turnAllOff()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        loginItems.statuses[taskbar.id] = LoginItemStatus::requiresApproval;
        workspace.run(vizavedid.id);
        workspace.run(taskbar.id);
        auto model = makeModel();
        int done = 0;
        model->turnAllOff([&] { ++done; });
        QTRY_COMPARE(done, 1);
        // The live wallpaper was not registered: no unregister, but its wallpaper still comes back.
        QCOMPARE(loginItems.calls, (QStringList{QStringLiteral("unregister ") + vizavedid.id, QStringLiteral("unregister ") + taskbar.id}));
        QCOMPARE(install.givenBack, 1);
        QCOMPARE(workspace.terminated, (QStringList{vizavedid.id, taskbar.id}));
        QVERIFY(model->running().isEmpty());
        for (const Part& part : Part::all())
            QVERIFY(!model->isOn(part));
    }

    void turnAllOffAfterModelIsGoneStops()
    {
        loginItems.statuses[vizavedid.id] = LoginItemStatus::enabled;
        auto model = makeModel();
        bool done = false;
        model->turnAllOff([&] { done = true; });
        model.reset();
        QTest::qWait(50);
        QVERIFY(!done);
    }
};

QTEST_GUILESS_MAIN(TestPartsModel)
#include "tst_parts_model.moc"
