#include "../app/agent_process.h"
#include "app/app_services.h"
#include "app/install_service.h"
#include "app/parts_model.h"
#include "app/safety_list_service.h"
#include "core/zentrove.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/process_identity.h"
#include "platform/workspace.h"
#include "services/safety.h"
#include "test_support.h"

#include <QTest>

#include <csignal>

// A real agent that the safety list switches off, and the control app's view of it.
class TestSafetyAgents : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<LoginItems> loginItems;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<Launcher> launcher;
    SafetyListService safety;
    InstallService install;
    std::unique_ptr<PartsModel> model;
    const Part paneflow = *Part::withID(Zentrove::paneflowID());

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        qputenv("ZENTROVE_SYSTEM_VERSION", "14.5.0");
        ProcessIdentity::set(Zentrove::bundleID());
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        loginItems = LoginItems::makeSystem();
        workspace = Workspace::makeSystem();
        launcher = Launcher::makeSystem();
        model = std::make_unique<PartsModel>(*loginItems, *workspace, *launcher, safety, install);
    }

    void cleanup()
    {
        model.reset();
        for (const RunningApplication& app : workspace->runningApplications(paneflow.id))
            ::kill(pid_t(app.pid), SIGKILL);
        workspace.reset();
        home.reset();
    }

    void switchedOffPartStandsDownAndShowsPaused()
    {
        model->set(paneflow, true);
        Safety::save(R"({"off":[{"feature":"paneflow","macOS":"14","message":"Live wallpapers are off on this system for now."}]})");

        QProcess agent;
        agent.start(Bundle::agentExecutable(paneflow.id));
        QVERIFY(agent.waitForFinished(10000));
        QCOMPARE(agent.exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent.exitCode(), 0);

        const auto record = Safety::stoodDown(paneflow.id);
        QVERIFY(record);
        QVERIFY(!record->crashed);
        model->refresh();
        const StatusLine line = model->statusLine(paneflow);
        QCOMPARE(line.text, QStringLiteral("Paused"));
        QCOMPARE(line.detail, QStringLiteral("Live wallpapers are off on this system for now."));
        QCOMPARE(line.action, StatusLine::Action::none);

        // While the list still holds, the next launch leaves it down.
        model->resumeStoodDown();
        QTest::qWait(500);
        QVERIFY(!model->isRunning(paneflow));

        // The list lifts the switch: the next launch of the control app starts the part again.
        Safety::save(R"({"off":[]})");
        model->resumeStoodDown();
        QTRY_VERIFY_WITH_TIMEOUT(model->isRunning(paneflow), 10000);
        QVERIFY(!Safety::stoodDown(paneflow.id));
        QCOMPARE(model->statusLine(paneflow).text, QStringLiteral("Running"));
    }

    void runningPartStandsDownWhenTheListChanges()
    {
        model->set(paneflow, true);
        QProcess* agent = AgentProcess::start(paneflow.id, this);
        QVERIFY(agent);
        Safety::save(R"({"off":[{"feature":"paneflow","macOS":"13","message":"Stopped remotely."}]})");
        QVERIFY(agent->waitForFinished(10000));
        QCOMPARE(agent->exitCode(), 0);
        QCOMPARE(Safety::stoodDown(paneflow.id)->reason, QStringLiteral("Stopped remotely."));
        QTRY_VERIFY(!model->isRunning(paneflow));
        QCOMPARE(model->statusLine(paneflow).text, QStringLiteral("Paused"));
    }
};

QTEST_GUILESS_MAIN(TestSafetyAgents)
#include "tst_safety_agents.moc"
