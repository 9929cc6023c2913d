#include "../app/agent_process.h"
#include "../wallpaper/xvfb_server.h"

#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QTest>

#include <csignal>

// The lock-screen-clock agent as a user runs it, on a private X server: the desktop toggle puts
// its clock on the desktop and takes it away again, and a server that goes away ends it cleanly.
class TestClockDesktopAgent : public QObject
{
    Q_OBJECT

    XvfbServer server;
    std::unique_ptr<TestHome> home;

    // The clock windows on `on`, as the window tree lists them, mapped ones only.
    static QStringList clockWindows(const XvfbServer& on)
    {
        QStringList found;
        const QString tree = on.run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
        for (const QString& line : tree.split(QLatin1Char('\n'))) {
            const QString id = line.trimmed().section(QLatin1Char(' '), 0, 0);
            if (!id.startsWith(QLatin1String("0x")) || !line.contains(QLatin1String("\"VizaVedid\"")))
                continue;
            if (on.placement(id.toULongLong(nullptr, 16)).viewable)
                found.append(id);
        }
        return found;
    }

    void setShowOnDesktop(bool show)
    {
        Defaults::domain(Zentrove::vizaVedidID()).set(QStringLiteral("showOnDesktop"), show);
        SettingsSync::changed(Zentrove::vizaVedidID());
    }

private slots:
    void initTestCase()
    {
        if (!server.start(QSize(1024, 640)))
            QSKIP("Xvfb is not installed");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        qputenv("DISPLAY", server.display());
        qputenv("QT_QPA_PLATFORM", "xcb"); // for the agent: this process stays offscreen
        qunsetenv("WAYLAND_DISPLAY");
        ProcessIdentity::set(Zentrove::bundleID());
        // One home for the whole run: the domain's settings object stays with its first file.
        home = std::make_unique<TestHome>();
    }

    void cleanupTestCase() { home.reset(); }

    void followsTheDesktopToggle()
    {
        QProcess* agent = AgentProcess::start(Zentrove::vizaVedidID(), this);
        QVERIFY(agent);
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("drawing the clock")));
        QTest::qWait(300);
        QVERIFY(clockWindows(server).isEmpty()); // off by default

        setShowOnDesktop(true);
        QTRY_COMPARE_WITH_TIMEOUT(clockWindows(server).size(), 1, 5000);
        const quintptr window = clockWindows(server).first().toULongLong(nullptr, 16);
        QVERIFY(server.property(window, "_NET_WM_WINDOW_TYPE").endsWith("_NET_WM_WINDOW_TYPE_DESKTOP"));
        QVERIFY(server.property(window, "_ZENTROVE_DESKTOP_LEVEL").endsWith("= 1"));
        // The shipped style on the server's one display: light digits over the bare (black) root.
        const QRect rect = server.placement(window).rect;
        QVERIFY(QRect(0, 0, 1024, 640).contains(rect));
        const QByteArray pixels = server.pixels(rect);
        int bright = 0;
        for (qsizetype i = 0; i + 3 < pixels.size(); i += 4)
            bright += quint8(pixels[i]) + quint8(pixels[i + 1]) + quint8(pixels[i + 2]) > 384;
        QVERIFY2(bright > 500, qPrintable(QString::number(bright)));

        setShowOnDesktop(false);
        QTRY_VERIFY_WITH_TIMEOUT(clockWindows(server).isEmpty(), 5000);
        setShowOnDesktop(true);
        QTRY_COMPARE_WITH_TIMEOUT(clockWindows(server).size(), 1, 5000);

        ::kill(pid_t(agent->processId()), SIGTERM);
        QVERIFY(agent->waitForFinished(5000));
        QCOMPARE(agent->exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent->exitCode(), 0);
        QTRY_VERIFY(clockWindows(server).isEmpty());
    }

    void endsWhenTheServerGoes()
    {
        XvfbServer own;
        QVERIFY(own.start(QSize(800, 480)));
        Defaults::domain(Zentrove::vizaVedidID()).set(QStringLiteral("showOnDesktop"), true);
        const QByteArray shared = qgetenv("DISPLAY");
        qputenv("DISPLAY", own.display());
        QProcess* agent = AgentProcess::start(Zentrove::vizaVedidID(), this);
        qputenv("DISPLAY", shared);
        QVERIFY(agent);
        QTRY_COMPARE_WITH_TIMEOUT(clockWindows(own).size(), 1, 5000);
        own.stop();
        const QString wrong = AgentProcess::wrongEndAfterLostServer(*agent);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_GUILESS_MAIN(TestClockDesktopAgent)
#include "tst_clock_desktop_agent.moc"
