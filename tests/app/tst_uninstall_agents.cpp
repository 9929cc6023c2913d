#include "../wallpaper/xvfb_server.h"
#include "agent_process.h"

#include "app/app_services.h"
#include "app/parts_model.h"
#include "app/uninstall_sequence.h"
#include "app/wallpaper_install_service.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/process_identity.h"
#include "platform/workspace.h"
#include "services/install.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

// Uninstalling while the real part agents run on a private X server: every part ends, no autostart
// entry stays, the desktop's own wallpaper is the user's again, no taskbar keeps the panel's place,
// and the library is kept or trashed as the user chose.
class TestUninstallAgents : public QObject
{
    Q_OBJECT

    XvfbServer server;
    std::unique_ptr<TestHome> home;
    std::unique_ptr<LoginItems> loginItems;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<Launcher> launcher;
    AppServices services;
    std::unique_ptr<PartsModel> model;
    const QString ownPicture = QStringLiteral("file:///srv/pictures/my%20own%20'shore'.jpg");

    QString keyfile() const
    {
        QFile file(home->configHome() + QStringLiteral("/glib-2.0/settings/keyfile"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QStringList autostartEntries() const
    {
        return QDir(home->configHome() + QStringLiteral("/autostart")).entryList({QStringLiteral("*.desktop")}, QDir::Files);
    }

    bool anyPartRunning() const
    {
        for (const Part& part : Part::all())
            if (!workspace->runningApplications(part.id).isEmpty() || AgentProcess::isOnBus(part.id))
                return true;
        return false;
    }

    // Every part on and running, the wallpaper agent showing a still of ours on the desktop.
    void turnEverythingOn()
    {
        model->agreeToHideDock();
        for (const Part& part : Part::all()) {
            model->set(part, true);
            QCOMPARE(model->status(part), LoginItemStatus::enabled);
            model->start(part);
        }
        for (const Part& part : Part::all())
            QTRY_VERIFY_WITH_TIMEOUT(model->isRunning(part), 15000);
        QCOMPARE(autostartEntries().size(), Part::all().size());
        QTRY_VERIFY_WITH_TIMEOUT(keyfile().contains(Install::library() + QStringLiteral("/Desktop/")), 20000);
        QVERIFY(!keyfile().contains(ownPicture));
        Defaults::forgetAll();
        QVERIFY(Defaults::domain(Zentrove::paneflowID()).contains(QStringLiteral("currentID")));
    }

    // An app image to uninstall, in a folder with spaces and quotes.
    QString makeAppImage() const
    {
        const QString folder = home->path() + QStringLiteral("/Apps \"mine\" 'x'");
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Zentrove $(x).AppImage");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("not really an image");
        return path;
    }

    UninstallSequence::Outcome uninstall(UninstallSequence::Target target, bool trashLibrary)
    {
        UninstallSequence sequence(*model, *workspace, std::move(target));
        QSignalSpy finished(&sequence, &UninstallSequence::finished);
        sequence.start(trashLibrary);
        // Each agent gets its deadline to quit; they quit at once here.
        if (!finished.wait(30000))
            return UninstallSequence::Outcome::running;
        return sequence.outcome();
    }

private slots:
    void initTestCase()
    {
        if (!server.start(QSize(800, 600)))
            QSKIP("Xvfb is not installed");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        // For the agents: this process stays offscreen.
        qputenv("DISPLAY", server.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
        // The desktop's own wallpaper settings live in a file under the test's config folder.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        ProcessIdentity::set(Zentrove::bundleID());
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        // The user's own wallpaper before any part ran.
        const QString settings = home->configHome() + QStringLiteral("/glib-2.0/settings");
        QDir().mkpath(settings);
        QFile file(settings + QStringLiteral("/keyfile"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[org/gnome/desktop/background]\npicture-uri='%1'\n").arg(ownPicture).toUtf8());
        file.close();
        // The file manager's trash lives in the data folder, which a user's home always has.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        loginItems = LoginItems::makeSystem();
        workspace = Workspace::makeSystem();
        launcher = Launcher::makeSystem();
        services.install = std::make_shared<WallpaperInstallService>();
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

    void everythingEndsAndIsGivenBack_data()
    {
        QTest::addColumn<bool>("trashLibrary");
        QTest::newRow("library kept") << false;
        QTest::newRow("library trashed") << true;
    }

    void everythingEndsAndIsGivenBack()
    {
        QFETCH(bool, trashLibrary);
        turnEverythingOn();
        const QString library = Install::library();
        QVERIFY(QFileInfo(library).isDir());
        const QString appImage = makeAppImage();

        QCOMPARE(uninstall({appImage, false}, trashLibrary), UninstallSequence::Outcome::done);

        QVERIFY(!anyPartRunning());
        QCOMPARE(autostartEntries(), QStringList());
        for (const Part& part : Part::all())
            QCOMPARE(model->status(part), LoginItemStatus::notRegistered);
        // The user's own wallpaper is back and nothing of ours is left in the desktop's settings.
        const QString settings = keyfile();
        QVERIFY2(settings.contains(ownPicture), qPrintable(settings));
        QVERIFY2(!settings.contains(library), qPrintable(settings));

        // Where the file manager's trash is for this process (under the test mode's own data folder).
        const QString trashed = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash/files");
        QVERIFY(!QFile::exists(appImage));
        QVERIFY(QFile::exists(trashed + QStringLiteral("/Zentrove $(x).AppImage")));
        QCOMPARE(QFileInfo(library).isDir(), !trashLibrary);
        QCOMPARE(QFileInfo(trashed + QStringLiteral("/Paneflow")).isDir(), trashLibrary);
        // The library's keys go with a trashed library and stay with a kept one.
        QCOMPARE(Defaults::domain(Zentrove::paneflowID()).contains(QStringLiteral("currentID")), !trashLibrary);
    }

    // A trash that cannot be made: everything is still off and given back, the app image stays
    // where it is and the sheet gets the failure to show.
    void aTrashThatCannotBeWrittenFailsAfterGivingBack()
    {
        turnEverythingOn();
        QDir().mkpath(home->dataHome());
        QFile blocker(home->dataHome() + QStringLiteral("/Trash"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString appImage = makeAppImage();

        QCOMPARE(uninstall({appImage, false}, true), UninstallSequence::Outcome::trashFailed);

        QVERIFY(!anyPartRunning());
        QCOMPARE(autostartEntries(), QStringList());
        QVERIFY(keyfile().contains(ownPicture));
        QVERIFY(QFile::exists(appImage));
        // The library could not go to the trash either, so it keeps its keys and stays usable.
        QVERIFY(QFileInfo(Install::library()).isDir());
        QVERIFY(Defaults::domain(Zentrove::paneflowID()).contains(QStringLiteral("currentID")));
    }
};

QTEST_GUILESS_MAIN(TestUninstallAgents)
#include "tst_uninstall_agents.moc"
