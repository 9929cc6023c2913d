#include "agent_process.h"
#include "app/parts_model.h"
#include "core/zentrove.h"
#include "platform/bus_identity.h"
#include "platform/defaults.h"
#include "platform/login_items.h"
#include "platform/paths.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

// The control app as a program: command line, snapshot, links, a second launch.
class TestAppLaunch : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;

    static QString app() { return TestSupport::buildDir() + QStringLiteral("/bin/zentrove"); }

    struct Run
    {
        int exitCode = -1;
        qint64 elapsedMs = 0;
        QString output; // standard error and output together
    };

    Run run(const QStringList& arguments, int timeoutMs = 20000)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        process.start(app(), arguments);
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
        Run result;
        result.elapsedMs = clock.elapsed();
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.output = QString::fromUtf8(process.readAll());
        return result;
    }

    QString entry(const QString& id) const { return Paths::autostartFolder() + QLatin1Char('/') + id + QStringLiteral(".desktop"); }

    Defaults& appSettings()
    {
        Defaults& settings = Defaults::domain(Zentrove::bundleID());
        settings.sync();
        return settings;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
    }

    void init() { home = std::make_unique<TestHome>(); }

    void cleanup()
    {
        BusIdentity::requestQuit(Zentrove::bundleID());
        for (const QString& id : {Zentrove::paneflowID(), Zentrove::vizaVedidID(), Zentrove::taskbarID()})
            BusIdentity::requestQuit(id);
        home.reset();
    }

    void snapshotOfTheSettingsPage()
    {
        const QString path = home->path() + QStringLiteral("/settings.png");
        const Run result = run({QStringLiteral("--show"), QStringLiteral("settings"), QStringLiteral("--snapshot"), path});
        QVERIFY2(result.exitCode == 0, qPrintable(result.output));
        QVERIFY2(result.elapsedMs >= 1400, "the snapshot waits for the window to settle");
        QImage image(path);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 1000 && image.height() >= 600);
        // A dark page: the sidebar and background colours dominate, and something is drawn on it.
        QCOMPARE(image.pixelColor(image.width() - 5, image.height() - 5).lightness() < 60, true);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 20);
        // No setup sheet in a snapshot, even on a first launch with every part off.
        QVERIFY(!appSettings().boolean(QStringLiteral("setupDone"), false));
    }

    void snapshotThatCannotBeWrittenStillExitsZero()
    {
        const Run result = run({QStringLiteral("--snapshot"), home->path() + QStringLiteral("/missing/folder/x.png")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.output.contains(QStringLiteral("snapshot not written")));
    }

    void enableAndDisableFromTheCommandLine()
    {
        // The clock was on; the command line turns it off and two others on.
        auto items = LoginItems::makeSystem();
        QCOMPARE(items->registerItem(Zentrove::vizaVedidID()), std::nullopt);
        const Run result = run({QStringLiteral("--enable"), QStringLiteral("paneflow"), QStringLiteral("taskbar"),
                                QStringLiteral("--disable"), QStringLiteral("vizavedid"), QStringLiteral("--snapshot"),
                                home->path() + QStringLiteral("/x.png")});
        QVERIFY2(result.exitCode == 0, qPrintable(result.output));
        QVERIFY(QFile::exists(entry(Zentrove::paneflowID())));
        QVERIFY(QFile::exists(entry(Zentrove::taskbarID())));
        QVERIFY(!QFile::exists(entry(Zentrove::vizaVedidID())));
        // The taskbar came on without the Dock question: the consent was stored first.
        QCOMPARE(appSettings().boolean(PartsModel::dockKey()), true);
        QCOMPARE(appSettings().string(PartsModel::lastBuildKey()).has_value(), true);
    }

    void unknownPartNamesAreIgnored()
    {
        const Run result = run({QStringLiteral("--enable"), QStringLiteral("clock"), QStringLiteral("--show"), QStringLiteral("nowhere"),
                                QStringLiteral("--snapshot"), home->path() + QStringLiteral("/x.png")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(QFile::exists(home->path() + QStringLiteral("/x.png"))); // unknown page: the window opened
        QVERIFY(QDir(Paths::autostartFolder()).entryList(QDir::Files).isEmpty());
        QVERIFY(!appSettings().contains(PartsModel::dockKey()));
    }

    void disablingARunningPartStopsIt()
    {
        auto items = LoginItems::makeSystem();
        QCOMPARE(items->registerItem(Zentrove::vizaVedidID()), std::nullopt);
        QProcess* agent = AgentProcess::start(Zentrove::vizaVedidID(), this);
        QVERIFY(agent);
        const Run result = run({QStringLiteral("--disable"), QStringLiteral("vizavedid"), QStringLiteral("--snapshot"),
                                home->path() + QStringLiteral("/x.png")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(agent->waitForFinished(PartsModel::quitDeadlineMs));
        QCOMPARE(agent->exitCode(), 0);
        QVERIFY(!QFile::exists(entry(Zentrove::vizaVedidID())));
    }

    void aLinkLaunchQuitsWithoutAWindow()
    {
        // Ending on its own at all proves there is no window: a shown window keeps the app.
        const Run result = run({QStringLiteral("zentrove://ensemble/Night%20Drive")}, 10000);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.elapsedMs < 6000, qPrintable(QString::number(result.elapsedMs)));
        QVERIFY2(result.output.contains(QStringLiteral("Zentrove: no ensemble for zentrove://ensemble/Night%20Drive")), qPrintable(result.output));
    }

    void aLinkThatIsNoEnsembleLinkShowsTheWindow()
    {
        const QString path = home->path() + QStringLiteral("/x.png");
        const Run result = run({QStringLiteral("zentrove://settings"), QStringLiteral("--snapshot"), path});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(QFile::exists(path));
    }

    void aLaterLaunchHandsItsArgumentsToTheRunningApp()
    {
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(app(), {QStringLiteral("--show"), QStringLiteral("settings")});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(AgentProcess::isOnBus(Zentrove::bundleID()), 10000);

        const Run second = run({QStringLiteral("--enable"), QStringLiteral("vizavedid")});
        // A second window would keep the launch running until the helper kills it.
        QVERIFY2(second.exitCode == 0 && !second.output.contains(QStringLiteral("does not answer")), qPrintable(second.output));
        QTRY_VERIFY(QFile::exists(entry(Zentrove::vizaVedidID())));
        QCOMPARE(first.state(), QProcess::Running);

        QVERIFY(BusIdentity::requestQuit(Zentrove::bundleID()));
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(first.exitCode(), 0);
    }

    void helpAndVersion()
    {
        const Run help = run({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.output.contains(QStringLiteral("--enable PART...")));
        const Run version = run({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.output.contains(QStringLiteral("Zentrove 0.")));
        QVERIFY(!AgentProcess::isOnBus(Zentrove::bundleID()));
    }
};

QTEST_GUILESS_MAIN(TestAppLaunch)
#include "tst_app_launch.moc"
