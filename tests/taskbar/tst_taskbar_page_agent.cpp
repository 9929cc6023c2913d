#include "../app/agent_process.h"

#include "clock/ui/clock_controls.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/style_editor.h"
#include "taskbar/ui/taskbar_page.h"

#include "test_support.h"

#include <QElapsedTimer>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <memory>

// The page in this process and the real taskbar agent of the build tree on the test's private
// bus: the editor holds the agent's bar open while it is open, and what the page changes is
// reloaded by the agent.
class TestTaskbarPageAgent : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    QProcess* agent = nullptr;
    QByteArray log;

    qsizetype waitForLog(const QByteArray& text, qsizetype from, int timeoutMs = 10000)
    {
        qsizetype at = -1;
        // The position found (or -1) says whether the text came in time.
        static_cast<void>(QTest::qWaitFor([&] {
            log += agent->readAllStandardError();
            at = log.indexOf(text, from);
            return at >= 0;
        }, timeoutMs));
        return at;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        // This process plays the control app.
        ProcessIdentity::set(Zentrove::bundleID());
    }
    void init() { home = std::make_unique<TestHome>(); }
    void cleanup()
    {
        if (agent) {
            agent->terminate();
            agent->waitForFinished(5000);
            delete agent;
            agent = nullptr;
        }
        log.clear();
        qunsetenv("ZENTROVE_TASKBAR_HOLD_MS");
        home.reset();
    }

    void editorHoldsTheBarAndTheAgentReloadsEdits()
    {
        qputenv("ZENTROVE_TASKBAR_HOLD_MS", "400");
        SettingsStore store(Defaults::domain(Zentrove::taskbarID()), true);
        agent = AgentProcess::start(Zentrove::taskbarID(), this);
        QVERIFY(agent);
        QVERIFY2(waitForLog("running", 0) >= 0, log.constData());

        TaskbarPage page(store, nullptr);
        page.resize(1100, 800);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        // The part reports its permissions; the page's store reloads and the banner goes.
        QTRY_VERIFY_WITH_TIMEOUT(store.accessibilityTrusted(), 5000);
        QVERIFY(!page.accessibilityBanner()->isVisible());

        // Opening the editor holds the bar at once, and again at every interval.
        qsizetype seen = log.size();
        page.openEditor(QStringLiteral("layout"));
        const qsizetype first = waitForLog("command holdOpen (held open)", seen);
        QVERIFY2(first >= 0, log.constData());
        const qsizetype second = waitForLog("command holdOpen (held open)", first + 1, 3000);
        QVERIFY2(second > first, log.constData());

        // A slider step reaches the agent, which reloads the domain.
        SliderRow* thickness = page.editor()->controls().thickness;
        QList<qint64> delays;
        for (int step = 0; step < 5; ++step) {
            seen = log.size();
            thickness->slider()->setFocus();
            QElapsedTimer clock;
            clock.start();
            QTest::keyClick(thickness->slider(), Qt::Key_Right);
            QVERIFY2(waitForLog("settings reloaded", seen) >= 0, log.constData());
            delays << clock.elapsed();
        }
        std::sort(delays.begin(), delays.end());
        qInfo("slider step to the agent's reload: median %lld ms", delays[delays.size() / 2]);
        Defaults& domain = Defaults::domain(Zentrove::taskbarID());
        domain.sync();
        QCOMPARE(TaskbarSettings::decode(*domain.data(SettingsStore::settingsKey()))->barHeight, store.settings().barHeight);
        QCOMPARE(store.settings().barHeight, TaskbarSettings().barHeight + 5);

        // Closing the editor lets the bar go, and the holds stop.
        seen = log.size();
        page.closeEditor();
        const qsizetype release = waitForLog("command releaseHold", seen);
        QVERIFY2(release >= 0, log.constData());
        QTest::qWait(1000);
        log += agent->readAllStandardError();
        QVERIFY2(log.indexOf("command holdOpen", release) < 0, log.constData());
        QCOMPARE(agent->state(), QProcess::Running);
    }
};

QTEST_MAIN(TestTaskbarPageAgent)
#include "tst_taskbar_page_agent.moc"
