#include "../app/agent_process.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"
#include "wallpaper/performance_log.h"
#include "wallpaper/performance_report.h"

#include <QFile>
#include <QTest>

#include <csignal>

// The live-wallpaper agent recording its own cost into the real log.
class TestPaneflowAgent : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;

    static QList<PerformanceReport::Row> rows()
    {
        QFile file(PerformanceLog::path());
        return file.open(QIODevice::ReadOnly) ? PerformanceReport::parse(file.readAll()) : QList<PerformanceReport::Row>();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        qputenv("ZENTROVE_RECORD_INTERVAL_MS", "250");
        ProcessIdentity::set(Zentrove::bundleID());
    }

    void init() { home = std::make_unique<TestHome>(); }
    void cleanup() { home.reset(); }

    void recordsRealRowsWhileSwitchedOn()
    {
        Defaults& domain = Defaults::domain(Zentrove::paneflowID());
        domain.set(LibrarySwitches::key(LibrarySwitch::recordPerformance), true);
        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        QTRY_VERIFY_WITH_TIMEOUT(rows().size() >= 3, 15000);
        for (const PerformanceReport::Row& row : rows()) {
            QVERIFY(row.rss > 1.0); // a real process has resident memory
            QVERIFY(row.cpu >= 0.0);
        }

        // The user pauses it from the control app: the agent hears of it and logs why.
        domain.set(LibrarySwitches::key(LibrarySwitch::userPaused), true);
        SettingsSync::changed(Zentrove::paneflowID());
        QTRY_VERIFY_WITH_TIMEOUT(rows().last().reason == QStringLiteral("paused by you"), 15000);
        QVERIFY(!rows().last().playing);

        // Switched off: no more rows.
        domain.set(LibrarySwitches::key(LibrarySwitch::recordPerformance), false);
        SettingsSync::changed(Zentrove::paneflowID());
        QTest::qWait(800);
        const qsizetype count = rows().size();
        QTest::qWait(800);
        QCOMPARE(rows().size(), count);

        ::kill(pid_t(agent->processId()), SIGTERM);
        QVERIFY(agent->waitForFinished(5000));
        QCOMPARE(agent->exitCode(), 0);
    }

    void helpSaysWhatEnergyMeans()
    {
        QProcess agent;
        agent.start(Bundle::agentExecutable(Zentrove::paneflowID()), {QStringLiteral("--help")});
        QVERIFY(agent.waitForFinished(5000));
        QVERIFY(QString::fromUtf8(agent.readAllStandardOutput()).contains(QLatin1String("power-capping")));
    }
};

QTEST_GUILESS_MAIN(TestPaneflowAgent)
#include "tst_paneflow_agent.moc"
