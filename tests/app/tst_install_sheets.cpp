#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "app/ui/move_sheet.h"
#include "app/ui/snapshot.h"
#include "app/ui/uninstall_sheet.h"
#include "brand/ui/toggle_switch.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "services/install.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

const Part paneflow = *Part::withID(Zentrove::paneflowID());
const Part vizavedid = *Part::withID(Zentrove::vizaVedidID());
const Part taskbar = *Part::withID(Zentrove::taskbarID());

void snapshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("ZENTROVE_SNAPSHOT_DIR");
    if (!folder.isEmpty())
        Snapshot::write(widget, folder + u'/' + name);
}

bool write(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

class RecordingInstall : public InstallService
{
public:
    int wallpaperGivenBack = 0;
    void giveBackWallpaper(std::function<void()> done) override
    {
        ++wallpaperGivenBack;
        done();
    }
};

} // namespace

// The move and uninstall sheets, clicked through against fake parts and real files.
class TestInstallSheets : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakeLoginItems loginItems;
    FakeWorkspace workspace;
    FakeLauncher launcher;
    SafetyService safety;
    RecordingInstall install;
    std::unique_ptr<PartsModel> model;
    int quits = 0;
    int closes = 0;

    std::unique_ptr<UninstallSheet> makeUninstall(UninstallSequence::Target target)
    {
        model = std::make_unique<PartsModel>(loginItems, workspace, launcher, safety, install);
        auto sheet = std::make_unique<UninstallSheet>(*model, workspace, std::move(target), [this] { ++closes; }, [this] { ++quits; });
        sheet->resize(600, 560);
        sheet->show();
        return sheet;
    }

    // Every part on and running, with autostart entries and a link handler, and a library.
    void everythingOn()
    {
        for (const Part& part : Part::all()) {
            loginItems.statuses[part.id] = LoginItemStatus::enabled;
            workspace.run(part.id);
            QVERIFY(write(home->configHome() + QStringLiteral("/autostart/") + part.id + QStringLiteral(".desktop"), "[Desktop Entry]\n"));
        }
        QVERIFY(write(home->dataHome() + QStringLiteral("/applications/app.zentrove.desktop"), "[Desktop Entry]\n"));
        QVERIFY(write(Install::library() + QStringLiteral("/Videos/clip.mov"), QByteArray(2500000, 'v')));
        Defaults::standard().set(QStringLiteral("setupDone"), true);
        Defaults::standard().set(QStringLiteral("showMenuBarItem"), true);
        Defaults::domain(Zentrove::paneflowID()).set(QStringLiteral("currentID"), QStringLiteral("A"));
    }

private slots:
    void initTestCase() { AppStyle::apply(*qApp); }

    void init()
    {
        home = std::make_unique<TestHome>();
        QStandardPaths::setTestModeEnabled(false);
        loginItems = {};
        workspace.processes.clear();
        workspace.terminated.clear();
        workspace.revealed.clear();
        workspace.openedURLs.clear();
        install.wallpaperGivenBack = 0;
        quits = 0;
        closes = 0;
        DesktopWords::setCurrent(DesktopWords::linuxDesktop());
    }

    void cleanup()
    {
        model.reset();
        home.reset();
    }

    void uninstallTurnsEverythingOffAndTrashesAppAndLibrary()
    {
        everythingOn();
        const QString image = home->path() + QStringLiteral("/Applications/Zentrove.AppImage");
        QVERIFY(write(image, "app"));
        auto sheet = makeUninstall({image, false});
        QTRY_VERIFY(sheet->librarySize() == qint64(2500000));
        QVERIFY(sheet->libraryDetail()->text().endsWith(QStringLiteral(": the videos and pictures you added, your ensembles and their lock screen copies. Installing again then starts with the built-in ensembles. Off, they all stay for next time.")));
        QVERIFY(sheet->libraryDetail()->text().startsWith(QStringLiteral("2.4 MB")));
        // The clock part is on: its note shows.
        QVERIFY(sheet->clockNote()->isVisible());
        snapshot(sheet.get(), QStringLiteral("uninstall-sheet.png"));

        QStringList steps;
        connect(&sheet->sequence(), &UninstallSequence::stepChanged, this, [&] {
            if (sheet->sequence().step())
                steps << *sheet->sequence().step();
        });
        QTest::mouseClick(sheet->libraryToggle(), Qt::LeftButton);
        QTest::mouseClick(sheet->uninstallButton(), Qt::LeftButton);
        QVERIFY(!sheet->uninstallButton()->isEnabled());
        QVERIFY(!sheet->cancelButton()->isEnabled());
        QTRY_COMPARE(quits, 1);
        QCOMPARE(steps, QStringList({QStringLiteral("Turning the parts off…"), QStringLiteral("Bringing the dock or panel back…"),
                                     QStringLiteral("Moving to the Trash…")}));

        // Every part quit and unregistered, the wallpaper given back.
        QVERIFY(workspace.runningIdentifiers({paneflow.id, vizavedid.id, taskbar.id}).isEmpty());
        for (const Part& part : Part::all())
            QCOMPARE(loginItems.status(part.id), LoginItemStatus::notRegistered);
        QCOMPARE(install.wallpaperGivenBack, 1);
        // The app's traces are gone, its settings other than setup stay.
        QCOMPARE(QDir(home->configHome() + QStringLiteral("/autostart")).entryList(QDir::Files), QStringList());
        QVERIFY(!QFile::exists(home->dataHome() + QStringLiteral("/applications/app.zentrove.desktop")));
        QVERIFY(!Defaults::standard().contains(QStringLiteral("setupDone")));
        QVERIFY(Defaults::standard().contains(QStringLiteral("showMenuBarItem")));
        QVERIFY(!Defaults::domain(Zentrove::paneflowID()).contains(QStringLiteral("currentID")));
        // App and library in the trash.
        QVERIFY(!QFile::exists(image));
        QVERIFY(QFile::exists(home->dataHome() + QStringLiteral("/Trash/files/Zentrove.AppImage")));
        QVERIFY(!QFile::exists(Install::library()));
        QVERIFY(QFile::exists(home->dataHome() + QStringLiteral("/Trash/files/Paneflow/Videos/clip.mov")));
        QCOMPARE(closes, 0);
    }

    void keptLibraryAndAFailedTrashLeaveTheLastStep()
    {
        everythingOn();
        const QString image = home->path() + QStringLiteral("/Applications/Zentrove.AppImage");
        QVERIFY(write(image, "app"));
        QVERIFY(write(home->dataHome() + QStringLiteral("/Trash"), "not a folder"));
        auto sheet = makeUninstall({image, false});
        QVERIFY(!sheet->libraryToggle()->isChecked());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not move .* to the trash")));
        QTest::mouseClick(sheet->uninstallButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet->lastStepBox()->isVisible());
        QCOMPARE(sheet->lastStepText()->text(), UninstallSequence::trashFailureText());
        QVERIFY(sheet->lastStepText()->text().startsWith(QStringLiteral("Everything is off and given back, but ")));
        QCOMPARE(sheet->lastStepButton()->text(), QStringLiteral("Quit and Show in Files"));
        QVERIFY(!sheet->uninstallButton()->isVisible());
        QVERIFY(sheet->cancelButton()->isEnabled());
        QCOMPARE(quits, 0);
        // Everything before the trash happened anyway; the library stayed, and so did its keys.
        QVERIFY(workspace.runningIdentifiers({taskbar.id}).isEmpty());
        QVERIFY(QFile::exists(Install::library() + QStringLiteral("/Videos/clip.mov")));
        QVERIFY(Defaults::domain(Zentrove::paneflowID()).contains(QStringLiteral("currentID")));
        QVERIFY(QFile::exists(image));
        snapshot(sheet.get(), QStringLiteral("uninstall-last-step.png"));
        QTest::mouseClick(sheet->lastStepButton(), Qt::LeftButton);
        QCOMPARE(workspace.revealed, QStringList {image});
        QCOMPARE(quits, 1);
    }

    void packageInstallSaysHowToRemoveThePackage()
    {
        auto sheet = makeUninstall({std::nullopt, true});
        // Nothing in the library yet, and the clock is off: the short detail, no note.
        QTRY_VERIFY(sheet->librarySize() == qint64(0));
        QCOMPARE(sheet->libraryDetail()->text(), QStringLiteral("Your ensembles and the videos and pictures you added. Off, they all stay for next time."));
        QVERIFY(!sheet->clockNote()->isVisible());
        QTest::mouseClick(sheet->uninstallButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet->lastStepBox()->isVisible());
        QCOMPARE(sheet->lastStepText()->text(), UninstallSequence::packageText());
        QCOMPARE(sheet->lastStepButton()->text(), QStringLiteral("Quit"));
        snapshot(sheet.get(), QStringLiteral("uninstall-package.png"));
        QTest::mouseClick(sheet->lastStepButton(), Qt::LeftButton);
        QVERIFY(workspace.revealed.isEmpty());
        QCOMPARE(quits, 1);
    }

    void cancelClosesWithoutTouchingAnything()
    {
        everythingOn();
        auto sheet = makeUninstall({std::nullopt, false});
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        QCOMPARE(closes, 1);
        QVERIFY(workspace.terminated.isEmpty());
        QVERIFY(loginItems.calls.isEmpty());
        QVERIFY(Defaults::standard().contains(QStringLiteral("setupDone")));
    }

    void clockNoteFollowsTheStoredAnswer()
    {
        Defaults::standard().set(QStringLiteral("macClockTurnedOff"), true);
        auto sheet = makeUninstall({std::nullopt, false});
        QVERIFY(sheet->clockNote()->isVisible());
    }

    void moveCopiesRelaunchesAndQuits()
    {
        const QString image = home->path() + QStringLiteral("/Down loads/Zentrove \"nightly\".AppImage");
        QVERIFY(write(image, "app image"));
        QStringList relaunched;
        MoveSheet::Actions actions {image, home->path(), [&](const QString& destination) {
            relaunched << destination;
            return true;
        }, [this] { ++quits; }};
        MoveSheet sheet(actions, workspace);
        sheet.resize(560, 360);
        sheet.show();
        QVERIFY(sheet.textLabel()->text().endsWith(QStringLiteral("Right now it's in “Down loads”.")));
        QVERIFY(sheet.textLabel()->text().startsWith(
            QStringLiteral("Zentrove starts its parts each time you log in, so it needs to live in the Applications folder in your home folder. ")));
        snapshot(&sheet, QStringLiteral("move-sheet.png"));
        QTest::mouseClick(sheet.moveButton(), Qt::LeftButton);
        QTRY_COMPARE(quits, 1);
        QCOMPARE(relaunched, QStringList {Install::destination(home->path())});
        QVERIFY(QFile::exists(Install::destination(home->path())));
        QVERIFY(QFile::exists(image));
        QVERIFY(!sheet.errorLine()->isVisible());
    }

    void failedMoveShowsWhyAndStays()
    {
        const QString image = home->path() + QStringLiteral("/Downloads/Zentrove.AppImage");
        QVERIFY(write(image, "app image"));
        QVERIFY(write(Install::destination(home->path()) + QStringLiteral("/in-the-way"), "x"));
        int relaunches = 0;
        MoveSheet sheet({image, home->path(), [&](const QString&) { return ++relaunches > 0; }, [this] { ++quits; }}, workspace);
        sheet.resize(560, 360);
        sheet.show();
        QTest::mouseClick(sheet.moveButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet.errorLine()->isVisible());
        QVERIFY(sheet.errorLine()->text().startsWith(QStringLiteral("Couldn't move it: ")));
        QVERIFY(!sheet.showButton()->isVisible());
        QVERIFY(sheet.moveButton()->isEnabled());
        QCOMPARE(relaunches, 0);
        QCOMPARE(quits, 0);
        snapshot(&sheet, QStringLiteral("move-sheet-error.png"));
        QTest::mouseClick(sheet.quitButton(), Qt::LeftButton);
        QCOMPARE(quits, 1);
    }
};

QTEST_MAIN(TestInstallSheets)
#include "tst_install_sheets.moc"
