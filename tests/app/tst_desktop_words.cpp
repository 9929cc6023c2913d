#include "../wallpaper/fake_sensors.h"
#include "app/app_services.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/status_line.h"
#include "app/ui/app_style.h"
#include "app/ui/change_ensemble_box.h"
#include "app/ui/dock_consent_dialog.h"
#include "app/ui/feedback_sheet.h"
#include "app/ui/move_sheet.h"
#include "app/ui/uninstall_sheet.h"
#include "app/ui/settings_page.h"
#include "brand/ui/toggle_switch.h"
#include "clock/clock_enums.h"
#include "core/part.h"
#include "core/zentrove.h"
#include "fake_platform.h"
#include "platform/desktop_words.h"
#include "platform/process_identity.h"
#include "services/install.h"
#include "services/safety.h"
#include "platform/defaults.h"
#include "platform/system_facts.h"
#include "taskbar/taskbar_enums.h"
#include "test_support.h"
#include "wallpaper/pause_rules.h"
#include "wallpaper/system_wallpaper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Every text that names the desktop's things, built with the words in use: the texts the product
// was first written with must come back word for word from the original words, and a Linux desktop's
// words must leave none of the original platform's names behind.
class TestDesktopWords : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestHome> home;

    QString osRelease(const QByteArray& contents)
    {
        const QString path = dir.filePath(QStringLiteral("os-release-%1").arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    int m_files = 0;

    // The texts of the settings page as shown: labels, buttons and accessible names.
    static QStringList pageTexts(QWidget& page)
    {
        QStringList texts;
        for (const QLabel* label : page.findChildren<QLabel*>())
            texts << label->text();
        for (const QAbstractButton* button : page.findChildren<QAbstractButton*>())
            texts << button->text() << button->accessibleName();
        texts.removeAll(QString());
        return texts;
    }

    // Every text on main that names the computer, the system or one of the desktop's things,
    // built with the words currently in use, in a fixed order.
    static QStringList namingTexts()
    {
        FakeLoginItems loginItems;
        FakeWorkspace workspace;
        FakeLauncher launcher;
        launcher.workspace = &workspace;
        AppServices services;
        PartsModel model(loginItems, workspace, launcher, *services.safety, *services.install);
        DockConsentDialog dialog(model);

        FakePower power;
        FakeMachine machine;
        FakeWindowList windows;
        FakePauseSettings settings;
        settings.thermal = true;
        machine.thermal = ThermalState::serious;
        PauseRules rules(settings, PauseRules::Sensors {&power, &machine, &windows}, [] {});

        return {
            Part::withID(Zentrove::taskbarID())->summary,
            dialog.windowTitle(),
            dialog.informativeText(),
            dialog.hideButton()->text(),
            StatusLine::of(LoginItemStatus::requiresApproval, false, std::nullopt).text,
            title(ClockTimeFormat::mac),
            TaskbarEnum::title(ClickAction::showInFinder),
            rules.pauseReason().value_or(QString()),
            SystemWallpaper::notSetUpMessage(),
            Safety::crashReason(QStringLiteral("14.5.0")),
            ChangeEnsembleBox::explanation(EnsembleChanging::Mode::appearance, 1),
        };
    }

    QStringList settingsPageTexts()
    {
        FakeLoginItems loginItems;
        FakeWorkspace workspace;
        FakeLauncher launcher;
        launcher.workspace = &workspace;
        AppServices services;
        PartsModel model(loginItems, workspace, launcher, *services.safety, *services.install);
        Navigation nav;
        SettingsPage page(model, nav, *services.updates, *services.menuBar);
        return pageTexts(page);
    }

    // The texts of the feedback, move and uninstall sheets and their failures.
    QStringList supportTexts()
    {
        FakeLoginItems loginItems;
        FakeWorkspace workspace;
        FakeLauncher launcher;
        AppServices services;
        PartsModel model(loginItems, workspace, launcher, *services.safety, *services.install);
        Defaults::standard().set(QStringLiteral("macClockTurnedOff"), true);
        FeedbackSheet feedback({}, [] {}, Defaults::standard(), SystemFacts::system(), workspace);
        MoveSheet move({QStringLiteral("/home/u/Downloads/Zentrove.AppImage"), QStringLiteral("/home/u"), {}, {}}, workspace);
        UninstallSheet uninstall(model, workspace, {}, [] {}, [] {});
        return pageTexts(feedback) + pageTexts(move) + pageTexts(uninstall)
            + QStringList {UninstallSequence::trashFailureText(), UninstallSequence::trashFailureButton(),
                           Install::MoveFailure {QStringLiteral("denied"), true}.text()};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        home = std::make_unique<TestHome>();
        ProcessIdentity::set(Zentrove::bundleID());
        AppStyle::apply(*qApp);
    }

    void cleanup() { DesktopWords::setCurrent(DesktopWords::linuxDesktop()); }

    void fillsNamedWordsAndLeavesTheRest()
    {
        DesktopWords words;
        words.computer = QStringLiteral("computer");
        words.dock = QStringLiteral("dock or panel");
        QCOMPARE(words.fill(u"Remove it from this {computer}"), QStringLiteral("Remove it from this computer"));
        // A capital first letter asks for the word capitalised, for the start of a sentence.
        QCOMPARE(words.fill(u"{Computer} is hot; {Dock} apps"), QStringLiteral("Computer is hot; Dock or panel apps"));
        // Unknown names, other cases, stray braces and empty names stay as written.
        QCOMPARE(words.fill(u"{nothing} {COMPUTER} {} {dock"), QStringLiteral("{nothing} {COMPUTER} {} {dock"));
        QCOMPARE(words.fill(u"a } b {dock}{dock}"), QStringLiteral("a } b dock or paneldock or panel"));
        QCOMPARE(words.fill(u""), QString());
    }

    void linuxWordsNameTheDistribution_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("name");
        QTest::newRow("double quotes") << QByteArray("ID=fedora\nNAME=\"Fedora Linux\"\nVERSION_ID=40\n") << "Fedora Linux";
        QTest::newRow("single quotes, spaces") << QByteArray("  NAME='Debian GNU/Linux'  \n") << "Debian GNU/Linux";
        QTest::newRow("bare") << QByteArray("PRETTY_NAME=\"Arch\"\nNAME=Arch\n") << "Arch";
        QTest::newRow("PRETTY_NAME is not NAME") << QByteArray("PRETTY_NAME=\"Ubuntu 24.04 LTS\"\n") << "Linux";
        QTest::newRow("empty name") << QByteArray("NAME=\"\"\n") << "Linux";
    }

    void linuxWordsNameTheDistribution()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, name);
        QCOMPARE(DesktopWords::linuxDesktop(osRelease(contents)).systemName, name);
        QCOMPARE(DesktopWords::linuxDesktop(dir.filePath(QStringLiteral("missing"))).systemName, QStringLiteral("Linux"));
    }

    void supportSheetsReadAsFirstWritten()
    {
        DesktopWords::setCurrent(DesktopWords::original());
        const QStringList texts = supportTexts();
        for (const char* text : {
                 "Include Mac and Zentrove details",
                 "Move Zentrove to Applications",
                 "Zentrove starts its parts each time you log in, so it needs to live in your Applications folder. Right now it's in “Downloads”.",
                 "Drag Zentrove into Applications in Finder, then open it from there.",
                 "Show in Finder",
                 "Taskbar, Live Wallpaper and Lock Screen Clock turn off. The Dock, your own wallpaper and the macOS lock screen come back.",
                 "macOS's own lock screen clock stays as you set it. If you turned it off for Zentrove, turn it back on in System Settings → Lock Screen",
                 "Open System Settings",
                 "Everything is off and given back, but macOS didn't let Zentrove move itself to the Trash. That happens when another "
                 "account on this Mac installed it. Click Quit and Show in Finder, then drag Zentrove to the Trash. macOS may ask for your password.",
                 "Quit and Show in Finder",
                 "This account can't add apps to Applications."})
            QVERIFY2(texts.contains(QString::fromUtf8(text)), text);

        DesktopWords::setCurrent(DesktopWords::linuxDesktop(osRelease("NAME=\"Fedora Linux\"\n")));
        static const char* const original[] = {"Mac", "macOS", "Finder", "System Settings", "Dock", "menu bar", "Login Items"};
        for (const QString& text : supportTexts())
            for (const char* word : original)
                QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(word)))), qPrintable(text));
    }

    void originalWordsGiveTheOriginalTexts()
    {
        DesktopWords::setCurrent(DesktopWords::original());
        const QStringList expected = {
            QStringLiteral("A customizable taskbar that replaces the Dock."),
            QStringLiteral("Hide the Dock?"),
            QStringLiteral("Taskbar hides the Dock while it runs. Turn Taskbar off and the Dock comes back with your own settings."),
            QStringLiteral("Hide the Dock"),
            QStringLiteral("Needs your OK in Login Items"),
            QStringLiteral("Follow macOS"),
            QStringLiteral("Show in Finder"),
            QStringLiteral("Mac is hot"),
            QStringLiteral("macOS hasn't set up its wallpapers on this account yet. Open Wallpaper settings and pick any "
                           "wallpaper once, and Zentrove puts yours on the lock screen right after."),
            QStringLiteral("It kept quitting unexpectedly on macOS 14.5.0."),
            QStringLiteral("Follows macOS, Auto included. An ensemble you pick yourself stays until macOS switches."),
        };
        QCOMPARE(namingTexts(), expected);

        const QStringList page = settingsPageTexts();
        for (const char* text : {"Show in the menu bar", "Remove Zentrove from this Mac",
                                 "Turns every part off and gives back the Dock and your own wallpaper first."})
            QVERIFY2(page.contains(QString::fromUtf8(text)), text);
    }

    void linuxWordsLeaveNoOriginalNames()
    {
        DesktopWords::setCurrent(DesktopWords::linuxDesktop(osRelease("NAME=\"Fedora Linux\"\n")));
        const QStringList texts = namingTexts() + settingsPageTexts();
        static const char* const original[] = {"Mac", "macOS", "Finder", "System Settings", "Dock", "menu bar", "Login Items"};
        for (const QString& text : texts)
            for (const char* word : original)
                QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(word)))),
                         qPrintable(text));
        const QStringList named = namingTexts();
        QCOMPARE(named[0], QStringLiteral("A customizable taskbar that replaces the dock or panel."));
        QCOMPARE(named[4], QStringLiteral("Needs your OK in Startup Applications"));
        QCOMPARE(named[5], QStringLiteral("Follow Fedora Linux"));
        QCOMPARE(named[6], QStringLiteral("Show in Files"));
        QCOMPARE(named[7], QStringLiteral("Computer is hot"));
        QCOMPARE(named[9], QStringLiteral("It kept quitting unexpectedly on Fedora Linux 14.5.0."));
        QCOMPARE(named[10], QStringLiteral("Follows Fedora Linux, Auto included. An ensemble you pick yourself stays until Fedora Linux switches."));
        QVERIFY(settingsPageTexts().contains(QStringLiteral("Remove Zentrove from this computer")));
        QVERIFY(settingsPageTexts().contains(QStringLiteral("Show in the top bar")));
    }

    void settingsOpenTheDesktopsOwnApp_data()
    {
        QTest::addColumn<int>("pane");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QStringList>("command");
        using P = SettingsPane;
        QTest::newRow("GNOME wallpaper") << int(P::wallpaper) << "GNOME" << QStringList {"gnome-control-center", "background"};
        QTest::newRow("Ubuntu's list, lower case") << int(P::dateTime) << "ubuntu:gnome" << QStringList {"gnome-control-center", "datetime"};
        QTest::newRow("KDE start-up") << int(P::loginItems) << "KDE" << QStringList {"systemsettings", "kcm_autostart"};
        QTest::newRow("KDE has no permissions pane") << int(P::screenRecording) << "KDE" << QStringList {"systemsettings"};
        QTest::newRow("Xfce start-up") << int(P::loginItems) << "XFCE" << QStringList {"xfce4-session-settings"};
        QTest::newRow("unknown desktop") << int(P::wallpaper) << "i3" << QStringList {};
        QTest::newRow("no desktop") << int(P::wallpaper) << "" << QStringList {};
        QTest::newRow("a name inside another") << int(P::wallpaper) << "NOTGNOME" << QStringList {};
    }

    void settingsOpenTheDesktopsOwnApp()
    {
        QFETCH(int, pane);
        QFETCH(QString, desktop);
        QFETCH(QStringList, command);
        const std::optional<QStringList> got = DesktopWords::settingsCommand(SettingsPane(pane), desktop);
        QCOMPARE(got.value_or(QStringList {}), command);
        QCOMPARE(got.has_value(), !command.isEmpty());
    }
};

QTEST_MAIN(TestDesktopWords)
#include "tst_desktop_words.moc"
