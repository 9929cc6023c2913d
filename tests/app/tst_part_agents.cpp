#include "agent_process.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "platform/bus_identity.h"
#include "platform/launcher.h"
#include "platform/process_identity.h"
#include "platform/workspace.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

// The stand-in agents on the private session bus: identity, settings reloads, quitting.
class TestPartAgents : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<Workspace> workspace;

    void waitGone(const QString& id)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!AgentProcess::isOnBus(id), 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        ProcessIdentity::set(QStringLiteral("app.zentrove.tests"));
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        workspace = Workspace::makeSystem();
        workspace->watch({Zentrove::paneflowID(), Zentrove::vizaVedidID(), Zentrove::taskbarID()});
    }

    void cleanup()
    {
        for (const QString& id : {Zentrove::paneflowID(), Zentrove::vizaVedidID(), Zentrove::taskbarID()})
            for (const RunningApplication& app : workspace->runningApplications(id))
                ::kill(pid_t(app.pid), SIGKILL);
        workspace.reset();
        home.reset();
    }

    void aSecondInstanceLeavesAtOnce()
    {
        QProcess* first = AgentProcess::start(Zentrove::taskbarID(), this);
        QVERIFY(first);
        QProcess second;
        QElapsedTimer clock;
        clock.start();
        second.start(Bundle::agentExecutable(Zentrove::taskbarID()));
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY(AgentProcess::isOnBus(Zentrove::taskbarID()));
    }

    void workspaceSeesItRunAndTerminatesIt()
    {
        QSignalSpy changes(workspace.get(), &Workspace::runningApplicationsChanged);
        QProcess* agent = AgentProcess::start(Zentrove::vizaVedidID(), this);
        QVERIFY(agent);
        QTRY_VERIFY(changes.count() >= 1);
        QCOMPARE(workspace->runningIdentifiers({Zentrove::paneflowID(), Zentrove::vizaVedidID()}), QSet<QString>{Zentrove::vizaVedidID()});
        const QList<RunningApplication> apps = workspace->runningApplications(Zentrove::vizaVedidID());
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps[0].pid, agent->processId());
        QVERIFY(!workspace->isTerminated(apps[0]));
        QVERIFY(workspace->terminate(apps[0]));
        QVERIFY(agent->waitForFinished(5000));
        // A clean quit on SIGTERM, not a death by it.
        QCOMPARE(agent->exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent->exitCode(), 0);
        QVERIFY(workspace->isTerminated(apps[0]));
        QVERIFY(!workspace->terminate(apps[0]));
        QVERIFY(workspace->runningApplications(Zentrove::vizaVedidID()).isEmpty());
    }

    void quitsCleanlyOnInterruptHangUpAndRequest_data()
    {
        QTest::addColumn<int>("signal"); // 0: a quit request over the bus
        QTest::newRow("interrupt") << SIGINT;
        QTest::newRow("hang-up") << SIGHUP;
        QTest::newRow("request") << 0;
    }

    void quitsCleanlyOnInterruptHangUpAndRequest()
    {
        QFETCH(int, signal);
        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        if (signal)
            ::kill(pid_t(agent->processId()), signal);
        else
            QVERIFY(BusIdentity::requestQuit(Zentrove::paneflowID()));
        QVERIFY(agent->waitForFinished(5000));
        QCOMPARE(agent->exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent->exitCode(), 0);
        waitGone(Zentrove::paneflowID());
    }

    void reloadsOnOtherProcessesNotices()
    {
        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        agent->readAllStandardError();
        // Another process writes the part's domain and announces it.
        int exitCode = -1;
        TestSupport::runPeer({QStringLiteral("--id"), Zentrove::bundleID(), QStringLiteral("set"), Zentrove::paneflowID(),
                              QStringLiteral("currentID"), QStringLiteral("X")}, 10000, &exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("settings reloaded")));
        // A notice about another domain is none of its business.
        agent->readAllStandardError();
        TestSupport::runPeer({QStringLiteral("--id"), Zentrove::bundleID(), QStringLiteral("set"), Zentrove::taskbarID(),
                              QStringLiteral("k"), QStringLiteral("v")});
        QVERIFY(!AgentProcess::waitForLog(agent, QStringLiteral("settings reloaded"), 500));
    }

    void launcherStartsADetachedAgent()
    {
        auto launcher = Launcher::makeSystem();
        std::optional<Launcher::Outcome> outcome;
        launcher->start(Zentrove::taskbarID(), [&](const Launcher::Outcome& o) { outcome = o; });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 10000);
        QCOMPARE(outcome->kind, Launcher::Outcome::Kind::started);
        // Running the moment the start step reports back, and not as our child.
        QVERIFY(AgentProcess::isOnBus(Zentrove::taskbarID()));
        const QList<RunningApplication> apps = workspace->runningApplications(Zentrove::taskbarID());
        QCOMPARE(apps.size(), 1);
        QVERIFY(apps[0].pid != QCoreApplication::applicationPid());

        // Starting a running part again is fine and leaves the first one alone.
        outcome.reset();
        launcher->start(Zentrove::taskbarID(), [&](const Launcher::Outcome& o) { outcome = o; });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 10000);
        QCOMPARE(outcome->kind, Launcher::Outcome::Kind::started);
        QCOMPARE(workspace->runningApplications(Zentrove::taskbarID()), apps);
    }

    void launcherReportsAMissingAgent()
    {
        QTemporaryDir emptyHub;
        qputenv("ZENTROVE_HUB", emptyHub.path().toUtf8());
        auto launcher = Launcher::makeSystem();
        std::optional<Launcher::Outcome> outcome;
        launcher->start(Zentrove::paneflowID(), [&](const Launcher::Outcome& o) { outcome = o; });
        QTRY_VERIFY(outcome.has_value());
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        QCOMPARE(outcome->kind, Launcher::Outcome::Kind::couldNotLaunch);
        QVERIFY(!outcome->description.isEmpty());
    }

    void agentsAnswerHelpAndVersion()
    {
        for (const QString& id : {Zentrove::paneflowID(), Zentrove::vizaVedidID(), Zentrove::taskbarID()}) {
            QProcess process;
            process.start(Bundle::agentExecutable(id), {QStringLiteral("--version")});
            QVERIFY(process.waitForFinished(5000));
            QCOMPARE(process.exitCode(), 0);
            QVERIFY(!process.readAllStandardOutput().trimmed().isEmpty());
            QVERIFY(!AgentProcess::isOnBus(id)); // answering --version starts nothing
        }
    }
};

QTEST_GUILESS_MAIN(TestPartAgents)
#include "tst_part_agents.moc"
