#include "core/show_settings.h"
#include "app/ui/app_delegate.h"
#include "app/ui/main_view.h"
#include "app/ui/zentrove_application.h"
#include "clock/style_store.h"
#include "clock/ui/clock_page.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/style_editor.h"
#include "taskbar/ui/taskbar_page.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QDir>
#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

class FakeLibrary : public LibraryService
{
public:
    std::optional<QUuid> current;
    QList<EnsembleLink> followed;
    bool follow(const EnsembleLink& link) override
    {
        followed << link;
        return true;
    }
    std::optional<QUuid> currentWallpaperID() const override { return current; }
};

class FakeInstallSeam : public InstallService
{
public:
    bool move = false;
    bool mustMove() const override { return move; }
};

} // namespace

// Launch decisions and show routing of the app delegate, with fake parts and services.
class TestAppDelegate : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    FakeLoginItems* loginItems = nullptr;
    FakeWorkspace* workspace = nullptr;
    std::shared_ptr<FakeLibrary> library;
    std::shared_ptr<FakeInstallSeam> install;
    QStringList clockTabs;
    std::unique_ptr<AppDelegate> delegate;

    void make(ViewRegistry views = {}, std::shared_ptr<StyleStore> clockStore = nullptr, std::shared_ptr<SettingsStore> taskbarStore = nullptr)
    {
        auto items = std::make_unique<FakeLoginItems>();
        auto space = std::make_unique<FakeWorkspace>();
        loginItems = items.get();
        workspace = space.get();
        AppServices services;
        library = std::make_shared<FakeLibrary>();
        install = std::make_shared<FakeInstallSeam>();
        services.library = library;
        services.install = install;
        services.taskbarStore = taskbarStore;
        if (clockStore)
            services.clockStore = clockStore;
        else
            services.openClockTab = [this](const QString& tab) { clockTabs << tab; };
        delegate = std::make_unique<AppDelegate>(*ZentroveApplication::instance(),
                                                 AppDelegate::Platform{std::move(items), std::move(space), std::make_unique<FakeLauncher>()},
                                                 services, std::move(views));
    }

private slots:
    void initTestCase() { ProcessIdentity::set(Zentrove::bundleID()); }
    void init()
    {
        home = std::make_unique<TestHome>();
        clockTabs.clear();
    }
    void cleanup()
    {
        delegate.reset();
        home.reset();
    }

    void showRoutesPagesDetailsAndSheets()
    {
        make();
        delegate->didFinishLaunching({QStringLiteral("--show"), QStringLiteral("vizavedid.Date")});
        QVERIFY(delegate->window());
        QCOMPARE(delegate->nav().page(), Page::vizavedid);
        QCOMPARE(clockTabs, QStringList{QStringLiteral("Date")});

        const QUuid current = QUuid::createUuid();
        library->current = current;
        delegate->show(QStringLiteral("paneflow.current"));
        QCOMPARE(delegate->nav().page(), Page::paneflow);
        QCOMPARE(delegate->nav().openWallpaper(), current);
        const QUuid other = QUuid::createUuid();
        delegate->show(QStringLiteral("paneflow.") + other.toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(delegate->nav().openWallpaper(), other);
        delegate->show(QStringLiteral("paneflow.not-an-id"));
        QCOMPARE(delegate->nav().openWallpaper(), std::nullopt);

        delegate->show(QStringLiteral("uninstall"));
        QVERIFY(delegate->nav().showUninstall());
        delegate->show(QStringLiteral("nowhere"));
        QCOMPARE(delegate->nav().page(), Page::paneflow);
        QVERIFY(delegate->window()->isVisible());
    }

    void firstLaunchAsksForSetup_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("partOn");
        QTest::addColumn<bool>("setupDone");
        QTest::addColumn<bool>("setup");
        QTest::newRow("first launch") << QStringList() << false << false << true;
        QTest::newRow("a part is on") << QStringList() << true << false << false;
        QTest::newRow("setup done") << QStringList() << false << true << false;
        QTest::newRow("snapshot") << QStringList{QStringLiteral("--snapshot"), QDir::tempPath() + QStringLiteral("/zentrove-delegate-test.png")} << false << false << false;
        QTest::newRow("asked for") << QStringList{QStringLiteral("--setup")} << true << true << true;
    }

    void firstLaunchAsksForSetup()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, partOn);
        QFETCH(bool, setupDone);
        QFETCH(bool, setup);
        Defaults::standard().set(QStringLiteral("setupDone"), setupDone);
        make();
        if (partOn)
            loginItems->statuses[Zentrove::vizaVedidID()] = LoginItemStatus::requiresApproval;
        delegate->model().refresh();
        delegate->didFinishLaunching(arguments);
        QCOMPARE(delegate->nav().showSetup(), setup);
        QVERIFY(!delegate->nav().showMove());
    }

    void anAppOutsideItsPlaceAsksToMoveFirst()
    {
        make();
        install->move = true;
        delegate->didFinishLaunching({QStringLiteral("--setup")});
        QVERIFY(delegate->nav().showMove());
        QVERIFY(!delegate->nav().showSetup());
    }

    void enablingTheTaskbarRecordsConsentAndAsksNothing()
    {
        make();
        delegate->didFinishLaunching({QStringLiteral("--enable"), QStringLiteral("taskbar"), QStringLiteral("--show"), QStringLiteral("settings")});
        QVERIFY(!delegate->model().askDockConsent());
        QVERIFY(delegate->model().isOn(*Part::withID(Zentrove::taskbarID())));
    }

    void linksAtLaunchAreFollowedWithoutAWindow()
    {
        make();
        delegate->didFinishLaunching({QStringLiteral("zentrove://next"), QStringLiteral("zentrove://ensemble/Morning")});
        QVERIFY(delegate->isLinkLaunch());
        QVERIFY(!delegate->window());
        QCOMPARE(library->followed, (QList<EnsembleLink>{EnsembleLink::next(), EnsembleLink::named(QStringLiteral("Morning"))}));
        // A link later, while the app runs, is followed and changes nothing else.
        delegate->open({QStringLiteral("zentrove://previous")});
        QCOMPARE(library->followed.size(), 3);
    }

    void showOpensTheClockEditorOnATab()
    {
        auto clock = std::make_shared<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        make(ViewRegistry::standard(), clock);
        delegate->didFinishLaunching({QStringLiteral("--show"), QStringLiteral("vizavedid.look")});
        QCOMPARE(delegate->nav().page(), Page::vizavedid);
        auto* page = qobject_cast<ClockPage*>(delegate->window()->view()->page(Page::vizavedid));
        QVERIFY(page);
        QVERIFY(page->isEditing());
        QCOMPARE(page->tab(), ClockTab::look);
        // An edited preset guards the sidebar; "Cancel" keeps the user on the page.
        clock->applyPreset(clock->customPresets().first());
        ClockStyle edited = clock->style();
        edited.showSeconds = !edited.showSeconds;
        clock->setStyle(edited);
        delegate->nav().go(Page::settings);
        QCOMPARE(delegate->nav().page(), Page::vizavedid);
        QVERIFY(page->dialog());
        page->dialog()->reject();
        QCOMPARE(delegate->nav().page(), Page::vizavedid);
        delegate.reset();
    }

    void showOpensTheTaskbarEditorOnASection()
    {
        auto taskbar = std::make_shared<SettingsStore>(Defaults::domain(Zentrove::taskbarID()), false);
        make(ViewRegistry::standard(), nullptr, taskbar);
        delegate->didFinishLaunching({QStringLiteral("--show"), QStringLiteral("taskbar.clock")});
        QCOMPARE(delegate->nav().page(), Page::taskbar);
        auto* page = qobject_cast<TaskbarPage*>(delegate->window()->view()->page(Page::taskbar));
        QVERIFY(page);
        QVERIFY(page->isEditing());
        QCOMPARE(page->editor()->section(), QStringLiteral("clock"));
        QVERIFY(page->editor()->hold().isHolding());
        // An edited style guards the sidebar; "Don't Save" moves on and lets the bar go.
        taskbar->applyTheme(taskbar->themes().first());
        TaskbarSettings edited = taskbar->settings();
        edited.barHeight += 6;
        taskbar->setSettings(edited);
        delegate->nav().go(Page::settings);
        QCOMPARE(delegate->nav().page(), Page::taskbar);
        auto* box = qobject_cast<QMessageBox*>(page->dialog());
        QVERIFY(box);
        for (QAbstractButton* button : box->buttons())
            if (button->text() == QStringLiteral("Don't Save"))
                button->click();
        QCOMPARE(delegate->nav().page(), Page::settings);
        QVERIFY(!page->isEditing());
        QVERIFY(!page->editor()->hold().isHolding());
        QVERIFY(taskbar->themes().first().matches(taskbar->settings()));
        delegate.reset();
    }

    void showNoticeBringsThePage()
    {
        make();
        delegate->didFinishLaunching({QStringLiteral("--show"), QStringLiteral("settings")});
        // What a part does to open the window on its page.
        Zentrove::showSettings(QStringLiteral("taskbar"), *workspace);
        QTRY_COMPARE(delegate->nav().page(), Page::taskbar);
    }

    // Closing the last window ends the app only once it has had its main window: the menu window
    // alone (shown for a snapshot or a preview) does not take the process down with it.
    void closingTheLastWindowQuitsOnlyAfterAMainWindow()
    {
        make();
        delegate->didFinishLaunching({QStringLiteral("--show"), QStringLiteral("menu")});
        QVERIFY(!delegate->window());
        QVERIFY(QTest::qWaitForWindowExposed(delegate->menuWindow()));
        // Runs the event loop while `window` closes: 0 when the app quit, 7 when it stayed.
        const auto closeAndRun = [](QWidget* window, int waitMs) {
            QTimer stay;
            stay.setSingleShot(true);
            connect(&stay, &QTimer::timeout, [] { QCoreApplication::exit(7); });
            stay.start(waitMs);
            QTimer::singleShot(0, window, &QWidget::close);
            return QCoreApplication::exec();
        };
        QCOMPARE(closeAndRun(delegate->menuWindow(), 500), 7);

        delegate->openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(delegate->window()));
        QCOMPARE(closeAndRun(delegate->window(), 3000), 0);
    }
};

int main(int argc, char* argv[])
{
    ZentroveApplication app(argc, argv);
    TestAppDelegate test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_delegate.moc"
