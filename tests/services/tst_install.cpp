#include <glib.h>

#include "core/zentrove.h"
#include "platform/app_image.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "services/install.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool write(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Where the app must live, moving it there, and the clean-up steps of uninstalling, on real files
// in the test's own home.
class TestInstall : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        // The trash and the data folders are the test's own XDG ones, not Qt's test folders.
        QStandardPaths::setTestModeEnabled(false);
    }

    void cleanup() { home.reset(); }

    void needsMoveOnlyOutsideTheApplicationsFolders_data()
    {
        QTest::addColumn<QString>("relative"); // below the test home; "/..." is absolute
        QTest::addColumn<bool>("needsMove");
        QTest::newRow("in Applications") << "Applications/Zentrove.AppImage" << false;
        QTest::newRow("in a subfolder of Applications") << "Applications/Tools/Zentrove.AppImage" << false;
        QTest::newRow("sibling Applications2") << "Applications2/Zentrove.AppImage" << true;
        QTest::newRow("sibling ApplicationsX") << "ApplicationsX/Zentrove.AppImage" << true;
        QTest::newRow("Downloads") << "Downloads/Zentrove-0.1.0-x86_64.AppImage" << true;
        QTest::newRow("home itself") << "Zentrove.AppImage" << true;
        QTest::newRow("spaces and quotes") << "My \"odd\" 'apps'/Zentrove.AppImage" << true;
        QTest::newRow("below /opt") << "/opt/zentrove/Zentrove.AppImage" << false;
        QTest::newRow("/optional is not /opt") << "/optional/Zentrove.AppImage" << true;
    }

    void needsMoveOnlyOutsideTheApplicationsFolders()
    {
        QFETCH(QString, relative);
        QFETCH(bool, needsMove);
        const QString path = relative.startsWith(u'/') ? relative : home->path() + u'/' + relative;
        QCOMPARE(Install::needsMove(path, home->path()), needsMove);
    }

    void needsMoveResolvesLinksAndIgnoresOtherLaunches()
    {
        // Not an app image (a package, the build tree): never moved.
        QVERIFY(!Install::needsMove(std::nullopt, home->path()));
        // A link into Applications from elsewhere is where it points.
        QDir().mkpath(home->path() + QStringLiteral("/Applications"));
        QVERIFY(QFile::link(home->path() + QStringLiteral("/Applications"), home->path() + QStringLiteral("/apps-link")));
        QVERIFY(!Install::needsMove(home->path() + QStringLiteral("/apps-link/Zentrove.AppImage"), home->path()));
        // The running app reads APPIMAGE, and only a file counts.
        const QString image = home->path() + QStringLiteral("/Downloads/Zentrove.AppImage");
        QVERIFY(write(image, "image"));
        qputenv("APPIMAGE", image.toUtf8());
        QCOMPARE(AppImage::current(), std::optional(image));
        QVERIFY(Install::needsMove());
        qputenv("APPIMAGE", (home->path() + QStringLiteral("/Downloads/missing.AppImage")).toUtf8());
        QVERIFY(!AppImage::current());
        QVERIFY(!Install::needsMove());
        qunsetenv("APPIMAGE");
        QCOMPARE(Install::folderName(image), QStringLiteral("Downloads"));
    }

    void moveCopiesIntoPlaceAndLeavesTheOriginal()
    {
        const QString source = home->path() + QStringLiteral("/Down \"loads\" 'x'/Zentrove 0.1 \"beta\".AppImage");
        QVERIFY(write(source, "new build"));
        QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner);
        // Something older is there already: it is replaced in one step.
        const QString target = Install::destination(home->path());
        QVERIFY(write(target, "old build"));

        const Install::MoveResult result = Install::moveToApplications(source, home->path());
        QVERIFY(!result.failure);
        QCOMPARE(result.destination, std::optional(target));
        QCOMPARE(read(target), QByteArray("new build"));
        QVERIFY(QFileInfo(target).isExecutable());
        QCOMPARE(read(source), QByteArray("new build"));
        // No temporary copy left behind.
        QCOMPARE(QDir(Install::applications(home->path())).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("Zentrove.AppImage")});

        // Moving the one already in place changes nothing.
        const Install::MoveResult again = Install::moveToApplications(target, home->path());
        QCOMPARE(again.destination, std::optional(target));
        QCOMPARE(read(target), QByteArray("new build"));
    }

    void failedMoveCleansUpAndKeepsTheDestination()
    {
        const QString source = home->path() + QStringLiteral("/Downloads/Zentrove.AppImage");
        QVERIFY(write(source, "new build"));
        // A folder with contents where the app should go: the replace fails.
        const QString target = Install::destination(home->path());
        QVERIFY(write(target + QStringLiteral("/keep.txt"), "precious"));
        const Install::MoveResult result = Install::moveToApplications(source, home->path());
        QVERIFY(result.failure);
        QVERIFY(!result.destination);
        QVERIFY(result.failure->text().startsWith(QStringLiteral("Couldn't move it: ")));
        QCOMPARE(read(target + QStringLiteral("/keep.txt")), QByteArray("precious"));
        QCOMPARE(QDir(Install::applications(home->path())).entryList(QDir::Files | QDir::Hidden), QStringList());

        // A file where the applications folder should be, and a source that is gone.
        QDir(Install::applications(home->path())).removeRecursively();
        QVERIFY(write(Install::applications(home->path()), "not a folder"));
        QVERIFY(Install::moveToApplications(source, home->path()).failure);
        QFile::remove(Install::applications(home->path()));
        const Install::MoveResult missing = Install::moveToApplications(home->path() + QStringLiteral("/gone.AppImage"), home->path());
        QVERIFY(missing.failure);
        QCOMPARE(QDir(Install::applications(home->path())).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void noPermissionHasItsOwnText()
    {
        const Install::MoveFailure failure {QStringLiteral("Permission denied"), true};
        QVERIFY(failure.text().startsWith(QStringLiteral("This account can't add apps to ")));
        QCOMPARE((Install::MoveFailure {QStringLiteral("No space left on device"), false}).text(),
                 QStringLiteral("Couldn't move it: No space left on device"));
    }

    void relaunchWaitsForThisProcessAndKeepsOddNames()
    {
        // A stand-in app with spaces and quotes in its name writes its arguments when it starts.
        const QString marker = home->path() + QStringLiteral("/started.txt");
        const QString program = home->path() + QStringLiteral("/Apps \"new\" 'copy'/Zentrove $(x).AppImage");
        QVERIFY(write(program, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$MARKER\"\n"));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("MARKER", marker.toUtf8());
        QProcess waiting;
        waiting.start(QStringLiteral("sleep"), {QStringLiteral("1")});
        QVERIFY(waiting.waitForStarted());
        QVERIFY(AppImage::startAfterExit(program, {QStringLiteral("--eject"), QStringLiteral("a b")}, waiting.processId()));
        QTest::qWait(400);
        QVERIFY(!QFile::exists(marker));
        QVERIFY(waiting.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
        QTRY_COMPARE(read(marker), QByteArray("--eject|a b|"));
        qunsetenv("MARKER");
    }

    void forgettingRemovesOnlyTheirKeys()
    {
        Defaults& app = Defaults::standard();
        app.set(QStringLiteral("setupDone"), true);
        app.set(QStringLiteral("agreedToHideDock"), true);
        app.set(QStringLiteral("macClockTurnedOff"), true);
        app.set(QStringLiteral("showMenuBarItem"), false);
        Defaults& paneflow = Defaults::domain(Zentrove::paneflowID());
        for (const char* key : {"seededWallpapers", "seededEnsembles", "currentID", "currentEnsembleID", "startedOnFirstEnsemble", "lockScreenStatus"})
            paneflow.set(QString::fromLatin1(key), QStringLiteral("x"));
        paneflow.set(QStringLiteral("pauseOnBattery"), true);
        Install::forgetSetup(app);
        Install::forgetLibrary(paneflow);
        QCOMPARE(app.keys(), QStringList {QStringLiteral("showMenuBarItem")});
        QCOMPARE(paneflow.keys(), QStringList {QStringLiteral("pauseOnBattery")});
    }

    void registrationsOfOthersStay()
    {
        const QString config = home->configHome();
        const QString data = home->dataHome();
        QVERIFY(write(config + QStringLiteral("/autostart/app.zentrove.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(config + QStringLiteral("/autostart/app.zentrove.taskbar.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(config + QStringLiteral("/autostart/org.other.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(config + QStringLiteral("/autostart/app.zentrovex.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(data + QStringLiteral("/applications/app.zentrove.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(config + QStringLiteral("/mimeapps.list"),
                      "[Default Applications]\nx-scheme-handler/zentrove=app.zentrove.desktop\ntext/html=firefox.desktop\n"
                      "[Added Associations]\nx-scheme-handler/zentrove=other.desktop;app.zentrove.desktop;\n"));
        QCOMPARE(Install::removeRegistrations(config, data), 4);
        QCOMPARE(QDir(config + QStringLiteral("/autostart")).entryList(QDir::Files),
                 QStringList({QStringLiteral("app.zentrovex.desktop"), QStringLiteral("org.other.desktop")}));
        QVERIFY(!QFile::exists(data + QStringLiteral("/applications/app.zentrove.desktop")));
        QCOMPARE(read(config + QStringLiteral("/mimeapps.list")),
                 QByteArray("[Default Applications]\ntext/html=firefox.desktop\n[Added Associations]\nx-scheme-handler/zentrove=other.desktop;\n"));
        // Nothing left to remove the second time.
        QCOMPARE(Install::removeRegistrations(config, data), 0);
    }

    // The entry's Exec read back as the desktop reads it (GLib's key file and argument rules).
    void linkHandlerNamesOddPathsExactly()
    {
        const QString path = home->path() + QStringLiteral("/My \"Apps\" 'x' $(id) `y` 100% \\n é/Zentrove.AppImage");
        const std::optional<QString> entry = Install::linkHandlerEntry(path);
        QVERIFY(entry);
        g_autoptr(GKeyFile) keys = g_key_file_new();
        const QByteArray bytes = entry->toUtf8();
        QVERIFY(g_key_file_load_from_data(keys, bytes.constData(), gsize(bytes.size()), G_KEY_FILE_NONE, nullptr));
        g_autofree gchar* exec = g_key_file_get_string(keys, "Desktop Entry", "Exec", nullptr);
        QVERIFY(exec);
        gint argc = 0;
        gchar** argv = nullptr;
        QVERIFY(g_shell_parse_argv(exec, &argc, &argv, nullptr));
        QCOMPARE(argc, 2);
        // The field code is the only %: the path's own was doubled.
        QCOMPARE(QString::fromUtf8(argv[0]).replace(QStringLiteral("%%"), QStringLiteral("%")), path);
        QCOMPARE(QByteArray(argv[1]), QByteArray("%u"));
        g_strfreev(argv);
        g_autofree gchar* types = g_key_file_get_string(keys, "Desktop Entry", "MimeType", nullptr);
        QCOMPARE(QByteArray(types), QByteArray("x-scheme-handler/zentrove;"));

        QVERIFY(!Install::linkHandlerEntry(QStringLiteral("/tmp/a\nExec=evil")));
        QVERIFY(!Install::linkHandlerEntry(QString()));
    }

    void linkHandlerRegistersAndUninstallTakesItBack()
    {
        const QString config = home->configHome();
        const QString data = home->dataHome();
        const QString app = home->path() + QStringLiteral("/Applications/Zentrove.AppImage");
        const QString entry = data + QStringLiteral("/applications/app.zentrove.desktop");
        const QString list = config + QStringLiteral("/mimeapps.list");

        // No list yet: made with the one line.
        QVERIFY(Install::registerLinkHandler(app, config, data));
        QCOMPARE(read(list), QByteArray("[Default Applications]\nx-scheme-handler/zentrove=app.zentrove.desktop;\n"));
        QCOMPARE(QString::fromUtf8(read(entry)), *Install::linkHandlerEntry(app));

        // The user's other lines stay; an older handler line of ours is replaced, not repeated.
        QVERIFY(write(list, "[Added Associations]\ntext/html=firefox.desktop;\n[Default Applications]\ntext/html=firefox.desktop\n"
                            "x-scheme-handler/zentrove=old.desktop\n"));
        QVERIFY(Install::registerLinkHandler(app, config, data));
        QCOMPARE(read(list), QByteArray("[Added Associations]\ntext/html=firefox.desktop;\n[Default Applications]\ntext/html=firefox.desktop\n"
                                        "x-scheme-handler/zentrove=app.zentrove.desktop;\n"));
        const QDateTime written = QFileInfo(entry).lastModified();
        QVERIFY(Install::registerLinkHandler(app, config, data));
        QCOMPARE(QFileInfo(entry).lastModified(), written);

        // Uninstalling takes both back.
        QCOMPARE(Install::removeRegistrations(config, data), 2);
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(read(list), QByteArray("[Added Associations]\ntext/html=firefox.desktop;\n[Default Applications]\ntext/html=firefox.desktop\n"));

        // A list that cannot be read (a folder in its place) is not replaced.
        QVERIFY(QFile::remove(list));
        QVERIFY(QDir().mkpath(list));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not read")));
        QVERIFY(!Install::registerLinkHandler(app, config, data));
        QVERIFY(QFileInfo(list).isDir());
    }

    // Only an app image in its place names itself the handler.
    void theRunningAppImageRegistersOnlyInPlace()
    {
        const QString entry = home->dataHome() + QStringLiteral("/applications/app.zentrove.desktop");
        const QString downloads = home->path() + QStringLiteral("/Downloads/Zentrove.AppImage");
        const QString placed = home->path() + QStringLiteral("/Applications/Zentrove.AppImage");
        QVERIFY(write(downloads, "app"));
        QVERIFY(write(placed, "app"));
        qputenv("APPIMAGE", downloads.toUtf8());
        Install::registerRunningAppImage();
        QVERIFY(!QFile::exists(entry));
        qputenv("APPIMAGE", placed.toUtf8());
        Install::registerRunningAppImage();
        qunsetenv("APPIMAGE");
        QCOMPARE(QString::fromUtf8(read(entry)), *Install::linkHandlerEntry(placed));
    }

    void trashUsesTheUsersTrashAndSaysWhenItCannot()
    {
        const QString library = Install::library();
        QCOMPARE(library, home->dataHome() + QStringLiteral("/Paneflow"));
        QVERIFY(write(library + QStringLiteral("/Videos/a.mov"), QByteArray(3000, 'a')));
        QVERIFY(write(library + QStringLiteral("/library.json"), QByteArray(500, 'b')));
        QCOMPARE(Install::folderSize(library), qint64(3500));
        QCOMPARE(Install::folderSize(home->path() + QStringLiteral("/none")), qint64(0));

        QVERIFY(Install::trash(library));
        QVERIFY(!QFileInfo::exists(library));
        QVERIFY(QFileInfo::exists(home->dataHome() + QStringLiteral("/Trash/files/Paneflow/Videos/a.mov")));
        QVERIFY(QFileInfo::exists(home->dataHome() + QStringLiteral("/Trash/info/Paneflow.trashinfo")));

        // A trash that cannot be written: the file stays, the caller hears of it.
        QVERIFY(QDir(home->dataHome() + QStringLiteral("/Trash")).removeRecursively());
        QVERIFY(write(home->dataHome() + QStringLiteral("/Trash"), "not a folder"));
        const QString app = home->path() + QStringLiteral("/Applications/Zentrove.AppImage");
        QVERIFY(write(app, "app"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not move .* to the trash")));
        QVERIFY(!Install::trash(app));
        QVERIFY(QFileInfo::exists(app));
        // Not moved somewhere else instead (a "files" folder where the process happens to run).
        QVERIFY(!QFileInfo::exists(QDir::currentPath() + QStringLiteral("/files/Zentrove.AppImage")));

        // Our trash can be made but the one Qt looks for cannot (its test-mode data folder here):
        // Qt "succeeds" into the working directory; the file comes back and the caller hears of it.
        QVERIFY(QFile::remove(home->dataHome() + QStringLiteral("/Trash")));
        const QString qtData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (qtData != home->dataHome()) {
            QVERIFY(write(qtData + QStringLiteral("/Trash"), "not a folder"));
            QTemporaryDir work;
            const QString before = QDir::currentPath();
            QDir::setCurrent(work.path());
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("it went to")));
            const bool trashed = Install::trash(app);
            QDir::setCurrent(before);
            QVERIFY(!trashed);
            QVERIFY(QFileInfo::exists(app));
            QVERIFY(!QFileInfo::exists(work.path() + QStringLiteral("/files/Zentrove.AppImage")));
            QVERIFY(!QFileInfo::exists(work.path() + QStringLiteral("/info/Zentrove.AppImage.trashinfo")));
        }
    }

    void packageInstallIsToldByThePackagesFileList()
    {
        const QString list = home->path() + QStringLiteral("/zentrove.list");
        QVERIFY(!Bundle::installedByPackage(list));
        QVERIFY(write(list, "/.\n/usr\n/usr/bin\n/usr/share/zentrove/icons/app.zentrove.svg\n"));
        QVERIFY(!Bundle::installedByPackage(list));
        QVERIFY(write(list, ("/.\n/usr/bin\n" + Bundle::appExecutable() + "\n").toUtf8()));
        QVERIFY(Bundle::installedByPackage(list));
        QVERIFY(!Bundle::installedByPackage(home->path()));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
