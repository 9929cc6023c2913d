#pragma once

#include "app/app_services.h"
#include "app/command_line.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/main_window.h"
#include "app/ui/view_registry.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/notifier.h"
#include "platform/workspace.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AppMenu;
class ZentroveApplication;

// The control app's process: what it creates and wires at launch, which window it shows (or
// not), the links it follows, and when it quits by itself. Owns the parts model, the navigation
// and the services for the life of the process; the main window is made on first show and kept.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    static constexpr int snapshotDelayMs = 1500;
    static constexpr int linkQuitDelayMs = 1500;
    static constexpr int checkOnlyQuitDelayMs = 120000;

    struct Platform
    {
        std::unique_ptr<LoginItems> loginItems;
        std::unique_ptr<Workspace> workspace;
        std::unique_ptr<Launcher> launcher;
        static Platform system();
    };

    AppDelegate(ZentroveApplication& app, Platform platform, AppServices services, ViewRegistry views);
    ~AppDelegate() override;

    // The launch sequence, with the arguments after the program path.
    void didFinishLaunching(const QStringList& arguments);
    // Links handed to the app (at launch, or by a later launch).
    void open(const QStringList& urls);
    // A later launch's arguments, handed over by the running instance's bus identity.
    void handleLaterLaunch(const QStringList& arguments);
    // Launched again with nothing to do: bring the window back.
    void reopen();

    void show(const QString& name);
    void openWindow();
    // "menu.second": the menu about the second display.
    void showMenu(const std::optional<QString>& snapshotPath, const QString& detail = {});
    void quitIfIdle();

    PartsModel& model() { return *m_model; }
    Navigation& nav() { return m_nav; }
    AppServices& services() { return m_services; }
    MainWindow* window() const { return m_window; }
    QWidget* menuWindow() const { return m_menuWindow; }
    bool isLinkLaunch() const { return m_linkLaunch; }

private:
    void showWindowAtLaunch(const CommandLine& arguments);
    void applyPartSwitches(const CommandLine& arguments);
    void snapshotLater(QWidget* window, const QString& path);
    void lastWindowClosed();
    bool anyWindowVisible() const;

    ZentroveApplication& m_app;
    Platform m_platform;
    AppServices m_services;
    ViewRegistry m_views;
    Navigation m_nav;
    std::unique_ptr<PartsModel> m_model;
    AppMenu* m_menu = nullptr;
    QPointer<MainWindow> m_window;
    QPointer<QWidget> m_menuWindow;
    NoticeToken m_showObserver;
    bool m_safetyPending = false;
    bool m_linkLaunch = false;
    bool m_launched = false;
};
