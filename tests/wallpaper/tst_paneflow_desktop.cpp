#include "../app/agent_process.h"
#include "../media/clip_maker.h"
#include "xvfb_server.h"

#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>

// The live-wallpaper agent as a user runs it, on a private X server: it puts its window on the
// desktop, and a wallpaper file it cannot play leaves it running with the reason in its status.
class TestPaneflowDesktop : public QObject
{
    Q_OBJECT

    XvfbServer server;
    std::unique_ptr<TestHome> home;

    // The desktop windows on the server, as the window tree lists them.
    QStringList desktopWindows()
    {
        QStringList found;
        const QString tree = server.run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
        for (const QString& line : tree.split(QLatin1Char('\n'))) {
            const QString id = line.trimmed().section(QLatin1Char(' '), 0, 0);
            if (!id.startsWith(QLatin1String("0x")))
                continue;
            const QString type = server.run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_WINDOW_TYPE")});
            if (type.contains(QLatin1String("_NET_WM_WINDOW_TYPE_DESKTOP")) && server.placement(id.toULongLong(nullptr, 16)).viewable)
                found.append(id);
        }
        return found;
    }

    QString keyfile()
    {
        QFile file(home->configHome() + QStringLiteral("/glib-2.0/settings/keyfile"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::optional<QString> status()
    {
        Defaults& domain = Defaults::domain(Zentrove::paneflowID());
        domain.sync();
        return domain.string(QStringLiteral("playbackStatus"));
    }

private slots:
    void initTestCase()
    {
        if (!server.start(QSize(800, 600)))
            QSKIP("Xvfb is not installed");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        qputenv("DISPLAY", server.display());
        qputenv("QT_QPA_PLATFORM", "xcb"); // for the agent: this process stays offscreen
        qunsetenv("WAYLAND_DISPLAY");
        // The agent keeps the desktop's own wallpaper settings in a file under its config folder.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        ProcessIdentity::set(Zentrove::bundleID());
    }

    void init() { home = std::make_unique<TestHome>(); }
    void cleanup() { home.reset(); }

    void playsAndSurvivesABrokenFile()
    {
        const LibraryLocations where = LibraryLocations::standard();
        QDir().mkpath(where.videos());
        QVERIFY(ClipMaker::pattern(where.videos() + QStringLiteral("/good.mp4"), "320x240", 30, 1));
        QFile junk(where.videos() + QStringLiteral("/broken.mp4"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, '\0'));
        junk.close();
        const Wallpaper good {QUuid::createUuid(), QStringLiteral("Good"), QStringLiteral("good.mp4")};
        const Wallpaper bad {QUuid::createUuid(), QStringLiteral("Bad"), QStringLiteral("broken.mp4")};
        LibraryFiles::writeIndex(where, {good, bad}, {});
        Defaults& domain = Defaults::domain(Zentrove::paneflowID());
        domain.set(QStringLiteral("currentID"), bad.id.toString(QUuid::WithoutBraces).toUpper());

        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        QTRY_COMPARE_WITH_TIMEOUT(status(), std::optional<QString>(QStringLiteral("Paused · can't play “Bad”")), 10000);
        QCOMPARE(desktopWindows().size(), 1); // still covering the display (the still or black)
        QCOMPARE(agent->state(), QProcess::Running);

        // A playable one: the status clears and the window plays it.
        domain.set(QStringLiteral("currentID"), good.id.toString(QUuid::WithoutBraces).toUpper());
        SettingsSync::changed(Zentrove::paneflowID());
        QTRY_VERIFY_WITH_TIMEOUT(!status(), 10000);
        const QRect middle(360, 260, 80, 80);
        const QByteArray before = server.pixelHash(middle);
        QVERIFY(QTest::qWaitFor([&] { return server.pixelHash(middle) != before; }, 5000));

        // A still of it is the desktop's own wallpaper and lock-screen picture meanwhile.
        const QString desktopFolder = QStringLiteral("file://") + where.root + QStringLiteral("/Desktop/");
        QTRY_COMPARE_WITH_TIMEOUT(keyfile().count(desktopFolder), 3, 10000);

        ::kill(pid_t(agent->processId()), SIGTERM);
        QVERIFY(agent->waitForFinished(5000));
        QCOMPARE(agent->exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent->exitCode(), 0);
        QTRY_VERIFY(desktopWindows().isEmpty());
        // Quitting gave the user's own back (the desktop's defaults: nothing of ours is left).
        QCOMPARE(keyfile().count(desktopFolder), 0);
        QVERIFY(QDir(where.root + QStringLiteral("/Desktop")).isEmpty());
    }

    void endsWhenTheServerGoes()
    {
        XvfbServer own;
        QVERIFY(own.start(QSize(320, 240)));
        const QByteArray shared = qgetenv("DISPLAY");
        qputenv("DISPLAY", own.display());
        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        qputenv("DISPLAY", shared);
        QVERIFY(agent);
        // Playing the shipped wallpaper there first.
        QTRY_VERIFY_WITH_TIMEOUT(own.run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")})
                                     .contains(QLatin1String("\"Paneflow\"")), 10000);
        own.stop();
        const QString wrong = AgentProcess::wrongEndAfterLostServer(*agent);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_GUILESS_MAIN(TestPaneflowDesktop)
#include "tst_paneflow_desktop.moc"
