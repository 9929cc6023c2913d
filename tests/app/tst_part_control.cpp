#include "agent_process.h"
#include "app/app_services.h"
#include "app/parts_model.h"
#include "core/zentrove.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/process_identity.h"
#include "platform/workspace.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <csignal>

// The parts model driving real agents, autostart entries and the bus.
class TestPartControl : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<LoginItems> loginItems;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<Launcher> launcher;
    AppServices services;
    std::unique_ptr<PartsModel> model;
    const Part paneflow = *Part::withID(Zentrove::paneflowID());
    const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        ProcessIdentity::set(Zentrove::bundleID());
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        loginItems = LoginItems::makeSystem();
        workspace = Workspace::makeSystem();
        launcher = Launcher::makeSystem();
        model = std::make_unique<PartsModel>(*loginItems, *workspace, *launcher, *services.safety, *services.install);
    }

    void cleanup()
    {
        model.reset();
        for (const Part& part : Part::all())
            for (const RunningApplication& app : workspace->runningApplications(part.id))
                ::kill(pid_t(app.pid), SIGKILL);
        workspace.reset();
        home.reset();
    }

    void turnOnStartAndOff()
    {
        model->set(paneflow, true);
        QCOMPARE(model->status(paneflow), LoginItemStatus::enabled);
        QCOMPARE(model->statusLine(paneflow).text, QStringLiteral("Quit · starts again at login"));
        model->start(paneflow);
        QTRY_VERIFY_WITH_TIMEOUT(model->isRunning(paneflow), 10000);
        QCOMPARE(model->statusLine(paneflow).text, QStringLiteral("Running"));
        QCOMPARE(model->error(), std::nullopt);

        QElapsedTimer clock;
        clock.start();
        model->set(paneflow, false);
        QTRY_COMPARE_WITH_TIMEOUT(model->status(paneflow), LoginItemStatus::notRegistered, 5000);
        // Well before the deadline even when the agent's own teardown is slow (a sanitizer build).
        QVERIFY2(clock.elapsed() < PartsModel::quitDeadlineMs * 3 / 4,
                 qPrintable(QStringLiteral("an agent that quits is waited for until the deadline: %1 ms").arg(clock.elapsed())));
        QTRY_VERIFY(!model->isRunning(paneflow));
        QCOMPARE(model->statusLine(paneflow).text, QStringLiteral("Off"));
    }

    void aPartIgnoringTerminateIsUnregisteredAtTheDeadline()
    {
        model->set(vizavedid, true);
        QProcess* stubborn = TestSupport::startPeer({QStringLiteral("own"), vizavedid.id, QStringLiteral("ignore-term")}, this);
        QCOMPARE(TestSupport::waitForLine(stubborn, QStringLiteral("ready")), QStringLiteral("ready"));
        QTRY_VERIFY(model->isRunning(vizavedid));

        int ticks = 0;
        QTimer heartbeat;
        connect(&heartbeat, &QTimer::timeout, this, [&] { ++ticks; });
        heartbeat.start(50);
        QElapsedTimer clock;
        clock.start();
        model->set(vizavedid, false);
        // The wait is a poll on the main loop, not a block.
        QCOMPARE(model->status(vizavedid), LoginItemStatus::enabled);
        QTRY_COMPARE_WITH_TIMEOUT(model->status(vizavedid), LoginItemStatus::notRegistered, 8000);
        const qint64 waited = clock.elapsed();
        qInfo("unregistered after %lld ms; the 50 ms heartbeat fired %d times meanwhile", waited, ticks);
        QVERIFY2(waited >= PartsModel::quitDeadlineMs - 100 && waited < PartsModel::quitDeadlineMs + 1500, qPrintable(QString::number(waited)));
        QVERIFY2(ticks >= waited / 50 * 8 / 10, qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(waited)));
        // It still runs, and says so.
        QCOMPARE(stubborn->state(), QProcess::Running);
        QCOMPARE(model->statusLine(vizavedid).text, QStringLiteral("Running, not started at login"));
        stubborn->kill();
        stubborn->waitForFinished();
    }

    void missingAgentShowsAsMissing()
    {
        QTemporaryDir emptyHub;
        qputenv("ZENTROVE_HUB", emptyHub.path().toUtf8());
        model->refresh();
        const StatusLine line = model->statusLine(paneflow);
        model->set(paneflow, true);
        const std::optional<QString> error = model->error();
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        QCOMPARE(line.text, QStringLiteral("Missing from the app. Reinstall Zentrove."));
        QVERIFY(error && error->startsWith(QStringLiteral("Live Wallpaper: ")));
    }
};

QTEST_GUILESS_MAIN(TestPartControl)
#include "tst_part_control.moc"
