#include "../app/agent_process.h"

#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "looks/look.h"
#include "looks/look_request.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"
#include "test_support.h"

#include <QDir>
#include <QImage>
#include <QTest>

#include <csignal>

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run runTaskbar(const QStringList& arguments)
{
    QProcess process;
    process.start(Bundle::agentExecutable(Zentrove::taskbarID()), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

int distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

std::optional<TaskbarSettings> storedSettings()
{
    Defaults& domain = Defaults::domain(Zentrove::taskbarID());
    domain.sync();
    const std::optional<QByteArray> data = domain.data(SettingsStore::settingsKey());
    return data ? TaskbarSettings::decode(*data) : std::nullopt;
}

} // namespace

class TestTaskbarAgent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        ProcessIdentity::set(QStringLiteral("app.zentrove.tests"));
    }

    void rendersEachBuiltInStyleWithoutTouchingSettings()
    {
        TestHome home;
        for (const Theme& theme : Theme::builtIns()) {
            const QString path = home.path() + QLatin1Char('/') + theme.name + QStringLiteral(".png");
            const Run run = runTaskbar({QStringLiteral("--render"), path, QStringLiteral("1440x900"),
                                        QStringLiteral("--bar-style"), theme.name});
            QCOMPARE(run.exitCode, 0);
            const QImage image(path);
            QCOMPARE(image.size(), QSize(1440, 900));

            TaskbarSettings settings;
            theme.apply(settings);
            const QRectF bar = PreviewBar(settings).frame(QSizeF(1440, 900), PreviewBar::menuBarHeight);
            const QPoint start = settings.vertical() ? QPoint(int(bar.center().x()), int(bar.top()) + 4)
                                                     : QPoint(int(bar.left()) + 4, int(bar.center().y()));
            if (theme.style == BackgroundStyle::solid)
                QVERIFY2(distance(image.pixelColor(start), theme.background.color()) < 12, qPrintable(theme.name));
            else // glass: the wallpaper shows through, tinted darker
                QVERIFY2(image.pixelColor(start).lightness()
                             < PreviewBar::sampleWallpaper(QSize(1440, 900)).pixelColor(start).lightness(),
                         qPrintable(theme.name));
        }
        QVERIFY(QDir(home.configHome()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::NoSort).isEmpty()
                || !QFile::exists(Defaults::domain(Zentrove::taskbarID()).filePath()));

        const QString path = home.path() + QStringLiteral("/x.png");
        QCOMPARE(runTaskbar({QStringLiteral("--render"), path, QStringLiteral("1440x")}).exitCode, 1);
        const Run unknown = runTaskbar({QStringLiteral("--render"), path, QStringLiteral("800x600"),
                                        QStringLiteral("--bar-style"), QStringLiteral("Nonesuch")});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.errors.contains(QStringLiteral("no bar style named Nonesuch")));
        // A picture option alone is refused rather than starting the part with it ignored.
        const Run alone = runTaskbar({QStringLiteral("--bar-style=Nonesuch")});
        QCOMPARE(alone.exitCode, 1);
        QVERIFY(alone.errors.contains(QStringLiteral("--bar-style goes with --render PATH WIDTHxHEIGHT")));
        QVERIFY(!QFile::exists(path));

        QProcess help;
        help.start(Bundle::agentExecutable(Zentrove::taskbarID()), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(30000));
        const QString listed = QString::fromUtf8(help.readAllStandardOutput());
        for (const char* option : {"--kickstart", "--render <path>", "--bar-style <bar-style>"})
            QVERIFY2(listed.contains(QLatin1String(option)), option);
    }

    void wearsNewerLooksAndAnswersCommands()
    {
        TestHome home;
        QProcess* agent = AgentProcess::start(Zentrove::taskbarID(), this);
        QVERIFY(agent);
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("running")));
        Defaults& domain = Defaults::domain(Zentrove::taskbarID());
        QTRY_VERIFY_WITH_TIMEOUT((domain.sync(), domain.boolean(QStringLiteral("accessibilityTrusted")) == true), 5000);
        QCOMPARE(domain.array(SettingsStore::layoutKey())->size(), 7);

        const Theme graphite = *Theme::builtInNamed(QStringLiteral("Graphite"));
        LookRequest request;
        request.taskbarTheme = graphite.id;
        request.publish(Look::paneflowPrefs());
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("wearing the bar style Graphite")));
        QTRY_VERIFY_WITH_TIMEOUT(storedSettings() && graphite.matches(*storedSettings()), 5000);
        const QString graphiteID = graphite.id.toString(QUuid::WithoutBraces).toUpper();
        QTRY_VERIFY_WITH_TIMEOUT((domain.sync(), domain.string(SettingsStore::activeThemeKey()) == graphiteID), 5000);

        // An older request is not worn.
        LookRequest older;
        older.taskbarTheme = Theme::builtInNamed(QStringLiteral("Infinity"))->id;
        older.stamp = request.stamp - 60;
        older.publish(Look::paneflowPrefs());
        QTest::qWait(300);
        QVERIFY(graphite.matches(*storedSettings()));

        SettingsSync::send(TaskbarCommands::holdOpen(), Zentrove::taskbarID());
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("command holdOpen (held open)")));
        SettingsSync::send(TaskbarCommands::askAccessibility(), Zentrove::taskbarID());
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("command askAccessibility (held open)")));
        SettingsSync::send(TaskbarCommands::releaseHold(), Zentrove::taskbarID());
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("command releaseHold")));

        ::kill(pid_t(agent->processId()), SIGTERM);
        QVERIFY(agent->waitForFinished(5000));
        QCOMPARE(agent->exitCode(), 0);
    }
};

QTEST_MAIN(TestTaskbarAgent)
#include "tst_taskbar_agent.moc"
